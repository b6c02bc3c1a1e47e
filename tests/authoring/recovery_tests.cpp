// The recovery copy of unsaved edits.
#include "recovery.h"

#include <gtest/gtest.h>

using authoring::Field;
using authoring::ListError;

TEST(Recovery, ACopyGivesBackTheTextsTheEncodingAndThePlannedPicturesAndRefusesDamage)
{
    authoring::PrizeDocument document;
    document.insert(0, {"30", "65535", "荧光棒", "10", ""});
    document.insert(1, {"5", "255", "a:b 3:", "", "note"});
    document.setEncoding(authoring::Encoding::Utf8);
    const std::map<std::string, authoring::PictureBytes> pictures{
        {"荧光棒", std::make_shared<const std::string>(std::string("\xFF\xD8\0jpeg", 7))}, {"old", nullptr}};

    const std::string bytes = authoring::recoveryBytes(document, pictures);
    const authoring::Recovered back = authoring::readRecovery(bytes);
    ASSERT_EQ(back.document.size(), 2);
    EXPECT_EQ(back.document.texts(1), document.texts(1));
    EXPECT_EQ(back.document.text(0, Field::Name), "荧光棒");
    EXPECT_EQ(back.document.encoding(), authoring::Encoding::Utf8);
    ASSERT_EQ(back.pictures.size(), 2u);
    EXPECT_EQ(*back.pictures.at("荧光棒"), *pictures.at("荧光棒"));
    EXPECT_EQ(back.pictures.at("old"), nullptr);

    for (std::size_t cut : {std::size_t(0), std::size_t(10), bytes.size() / 2, bytes.size() - 1})
        EXPECT_THROW(authoring::readRecovery(bytes.substr(0, cut)), ListError) << cut;
    std::string huge = bytes;
    huge.replace(huge.find("2:30"), 4, "99999999999999999999:30");
    EXPECT_THROW(authoring::readRecovery(huge), ListError);
}

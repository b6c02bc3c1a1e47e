// Picture changes held until Save, and a save that puts every file back when it fails.
#include "authoring_fixtures.h"
#include "faulty_file_system.h"
#include "picture_plan.h"

#include <gtest/gtest.h>

#include <map>

using namespace testing_authoring;
using authoring::Field;
using authoring::ListError;
using authoring::PicturePlan;
using authoring::PrizeDocument;

namespace {
namespace fs = std::filesystem;

authoring::PictureBytes bytes(std::string text) { return std::make_shared<const std::string>(std::move(text)); }

struct ListWithPictures {
    fakes::TempFolder folder;
    fs::path dataIni = folder.path() / "data.ini";
    PrizeDocument document;
    PicturePlan plan;
    ListWithPictures()
    {
        fs::copy(kSample / "data.ini", dataIni);
        fs::copy(kSample / "picture", folder.path() / "picture");
        document = PrizeDocument::open(dataIni);
        plan.setFolder(folder.path() / "picture");
    }
};
} // namespace

TEST(PicturePlan, AFailureAtAnyStepOfASavePutsBackEveryFile)
{
    ListWithPictures list;
    const auto before = filesUnder(list.folder.path());
    list.document.setText(0, Field::Weight, "29");
    list.plan.setPicture("风筝", bytes("kite"));             // a new file
    list.plan.setPicture("荧光棒", bytes("new glow stick")); // one replaced
    list.plan.setPicture("棒棒糖", nullptr);                 // one removed
    EXPECT_EQ(*list.plan.picture("荧光棒"), "new glow stick");
    EXPECT_EQ(list.plan.picture("棒棒糖"), nullptr);
    EXPECT_EQ(filesUnder(list.folder.path()), before); // planned, nothing written

    for (const int failAt : {1, 9, 14}) { // the journal, a picture, the list
        fakes::FaultyFileSystem files(fakes::FaultyFileSystem::Fault::Fail, failAt);
        try {
            authoring::saveList(list.document, list.plan, list.dataIni, files);
            ADD_FAILURE() << "the save went through although call " << failAt << " failed";
        } catch (const ListError &error) {
            EXPECT_NE(std::string(error.what()).find("the list and its pictures are as they were"), std::string::npos)
                << error.what();
        }
        EXPECT_EQ(filesUnder(list.folder.path()), before) << "failing at call " << failAt;
        EXPECT_EQ(list.plan.changes().size(), 3u);
        EXPECT_EQ(list.document.text(0, Field::Weight), "29");
    }

    authoring::saveList(list.document, list.plan, list.dataIni);
    const auto after = filesUnder(list.folder.path());
    EXPECT_EQ(after.at("picture/风筝.jpg"), "kite");
    EXPECT_EQ(after.at("picture/荧光棒.jpg"), "new glow stick");
    EXPECT_EQ(after.count("picture/棒棒糖.jpg"), 0u);
    EXPECT_EQ(PrizeDocument::open(list.dataIni).text(0, Field::Weight), "29");
    EXPECT_TRUE(list.plan.changes().empty());
}

TEST(PicturePlan, APictureChosenBeforeTheFirstSaveGoesIntoAPictureFolderMadeThen)
{
    fakes::TempFolder folder;
    PrizeDocument document;
    document.insert(0, {"100", "65535", "风筝", "1", ""});
    PicturePlan plan; // a new list has no folder
    EXPECT_EQ(plan.picture("风筝"), nullptr);
    plan.setPicture("风筝", bytes("kite"));
    EXPECT_THROW(plan.setPicture("../风筝", bytes("kite")), ListError);

    authoring::saveList(document, plan, folder.path() / "data.ini");
    EXPECT_EQ(slurp(folder.path() / "picture" / "风筝.jpg"), "kite");
    EXPECT_EQ(plan.folder(), folder.path() / "picture");
}

// Prize names that Windows cannot use as file names, in the Windows build.
#include "catalogue.h"
#include "fakes.h"

#include <gtest/gtest.h>

using namespace catalogue;
using fakes::record;

TEST(ReadPrizeListOnWindows, ANameWindowsCannotUseOpensNoFile)
{
    fakes::TempFolder folder;
    std::string list;
    for (const char *name : {"AUX", "com1.old", "a:stream", "Cup.", "Cup ", "what?",
                             "\xD3\xAB\xB9\xE2\xB0\xF4"}) // the last: 荧光棒 in GBK
        list += record("10", "1", name, "1");
    folder.writeDataIni(list);
    folder.addPicture("荧光棒");

    auto prizes = std::make_unique<Catalogue>();
    fakes::FakePictureLoader pictures;
    FailureRegime regime;
    PrizeListFile file(folder.path() / "data.ini");
    readPrizeList(*prizes, file, folder.path() / "picture", pictures, regime);

    EXPECT_EQ(prizes->prizeCount, 7);
    ASSERT_EQ(pictures.requested.size(), 1u);
    EXPECT_EQ(pictures.requested[0], folder.path() / "picture" / utf8Path("荧光棒.jpg"));
    EXPECT_FALSE(prizes->picture(6).isEmpty());
}

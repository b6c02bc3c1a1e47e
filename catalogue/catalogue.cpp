// Reading data.ini into the tables, and the cumulative pass.
#include "catalogue.h"

#include <algorithm>

namespace catalogue {

bool isSafePictureName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

ReadReport readPrizeList(Catalogue &catalogue, LineInput &file, const std::filesystem::path &pictureFolder,
                         PictureLoader &pictures, FailureRegime &regime)
{
    ReadReport report;
    report.readAsUtf8 = file.readsUtf8();
    Variant line; // reused for every line: a read past the end leaves it as it was
    int lineNumber = 0;
    auto &count = catalogue.prizeCount;

    while (!file.atEnd()) {
        if (count == Catalogue::kMaxPrizes) {
            report.recordsIgnored = true;
            break;
        }
        award &record = catalogue.prize(count);
        auto readInto = [&](Variant *field) {
            report.lastRecordCutShort = report.lastRecordCutShort || file.atEnd();
            regime.run([&] {
                file.readLine(line);
                if (file.lineWasCut())
                    report.linesCut.push_back(lineNumber + 1);
                ++lineNumber;
            });
            if (field)
                *field = line;
        };
        readInto(&record.pr);
        readInto(&record.color);
        readInto(&record.name);
        readInto(&record.amount);
        readInto(nullptr); // the fifth line is ignored
        regime.skipFailures();

        regime.run([&] {
            const std::string name = record.name.toText();
            if (!isSafePictureName(name))
                return; // never open anything outside the picture folder
            catalogue.picture(count) = pictures.load(pictureFolder / (name + ".jpg"));
        });
        ++count;
    }
    return report;
}

double weightOf(const Variant &pr)
{
    double weight = 0;
    try {
        weight = pr.toDouble();
    } catch (const RuntimeError &) {
        return 0; // not a number, or beyond the doubles: as if the weight were 0
    }
    return std::clamp(weight, -1e300, 1e300);
}

void cumulativePass(Catalogue &catalogue)
{
    double sum = 0;
    for (int i = 0; i <= catalogue.prizeCount; ++i) {
        sum += weightOf(catalogue.prize(i).pr);
        catalogue.prize(i).pr = sum;
    }
}

} // namespace catalogue

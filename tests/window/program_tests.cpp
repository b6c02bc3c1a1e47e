// The real executable: its data folder, and the report that ends it.
#include "fakes.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    bool finished = false;
    int exitCode = -1;
    QString errors;
};

// Runs a copy of prizedraw placed in folder, offscreen, for at most waitMs.
ProgramRun runIn(const fakes::TempFolder &folder, int waitMs)
{
    const auto program = folder.path() / "prizedraw";
    std::filesystem::copy_file(PRIZEDRAW_EXECUTABLE, program);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString(program.string()), {});
    process.closeWriteChannel();
    ProgramRun run;
    run.finished = process.waitForFinished(waitMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

TEST(Program, AMissingPrizeListEndsItWithError53)
{
    fakes::TempFolder folder;
    const ProgramRun run = runIn(folder, 60'000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Run-time error '53': File not found"))) << run.errors.toStdString();
}

TEST(Program, APrizeListOfFewerThanFiveLinesEndsItWithError62)
{
    fakes::TempFolder folder;
    folder.writeDataIni("50\r\n255\r\nCup\r\n");
    const ProgramRun run = runIn(folder, 60'000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Run-time error '62'"))) << run.errors.toStdString();
}

TEST(Program, AValidPrizeListBesideItStartsTheGameQuietly)
{
    fakes::TempFolder folder;
    folder.writeDataIni(fakes::record("100", "255", "Cup", "1"));
    const ProgramRun run = runIn(folder, 1500);
    EXPECT_FALSE(run.finished); // still waiting in its event loop
    EXPECT_FALSE(run.errors.contains(QStringLiteral("Run-time error"))) << run.errors.toStdString();
}

} // namespace

// Time from opening a list in the editor to its odds in the table and to
// its pictures judged; and from an edit to the odds shown for it: the edit
// itself (what typing waits for) and the whole way to the updated table.
// Usage: editor_odds DATA_INI EDITS   (run with QT_QPA_PLATFORM=offscreen)
#include "editor_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size() - 1) + 0.5))];
}

void waitForOdds(editor::EditorWindow &window)
{
    while (!window.oddsUpToDate())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents(); // the repaint of the table
}
} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: editor_odds DATA_INI EDITS\n");
        return 2;
    }
    const int edits = std::atoi(argv[2]);
    editor::EditorWindow window;
    window.show();
    QElapsedTimer opening;
    opening.start();
    if (!window.openList(argv[1]))
        return 1;
    // Opening: until the table shows the odds, then until every picture is judged.
    const QModelIndex firstChance = window.model().index(0, editing::PrizeTable::Chance);
    while (window.model().rowCount() > 0 && firstChance.data().toString().isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents(); // the repaint of the table
    const double openOddsMs = double(opening.nsecsElapsed()) / 1e6;
    waitForOdds(window); // pictures are decoded once, after the first odds
    const double openPicturesMs = double(opening.nsecsElapsed()) / 1e6;

    editor::PrizeTableModel &model = window.model();
    std::vector<double> editMs, oddsMs;
    for (int k = 0; k < edits; ++k) {
        const int row = (k * 37) % model.rowCount();
        const QModelIndex weight = model.index(row, editing::PrizeTable::Weight);
        const double was = weight.data().toDouble();
        QElapsedTimer timer;
        timer.start();
        model.setData(weight, QString::number(k % 2 ? was + 0.5 : was - 0.5), Qt::EditRole);
        editMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        waitForOdds(window);
        oddsMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("prizes %d edits %d edit_ms median %.3f p95 %.3f odds_ms median %.3f p95 %.3f open_odds_ms %.1f "
                "open_pictures_ms %.1f\n",
                model.rowCount(), edits, percentile(editMs, 0.5), percentile(editMs, 0.95), percentile(oddsMs, 0.5),
                percentile(oddsMs, 0.95), openOddsMs, openPicturesMs);
    return 0;
}

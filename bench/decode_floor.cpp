// The floor for decoding a picture folder: every file scaled-decoded to the
// card's picture box, as the game decodes it, on all cores, with nothing else
// running in the process.
// Usage: decode_floor PICTURE_FOLDER [THREADS]
// Prints the wall time from the first decode to the last, and how many decoded.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QImageReader>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv); // image format plugins need one
    if (argc < 2) {
        std::fprintf(stderr, "usage: decode_floor PICTURE_FOLDER [THREADS]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QStringList files;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
        files.append(folder.filePath(name));
    const int threads = argc > 2 ? std::max(1, std::atoi(argv[2])) : int(std::thread::hardware_concurrency());

    QImageReader(files.value(0)).size(); // loads the format plugin outside the timed part
    std::atomic<int> next{0};
    std::atomic<int> decoded{0};
    QElapsedTimer clock;
    clock.start();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            for (int k = next++; k < files.size(); k = next++) {
                QImageReader reader(files[k]);
                reader.setScaledSize(QSize(177, 113));
                reader.setQuality(100); // the smooth scaling the game asks for
                if (!reader.read().isNull())
                    ++decoded;
            }
        });
    for (auto &worker : workers)
        worker.join();
    std::printf("decode_floor_ms %.1f files %lld decoded %d threads %d\n", double(clock.nsecsElapsed()) / 1e6,
                static_cast<long long>(files.size()), decoded.load(), threads);
    return 0;
}

// The list-and-pictures save: a journal names every change; the pictures a
// new list needs are in place before the list, the old ones stay beside
// them until the list is, and the journal goes last. Whoever opens the list
// next finishes what the journal names, or undoes it.
#include "list_save.h"

#include "i18n.h"
#include "picture_loader.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace authoring {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kJournalHeader = "prizedraw save 1";

// A file's fingerprint: its size and a 64-bit FNV-1a hash, enough to tell
// the old and the new bytes of one file apart.
struct Fingerprint {
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    bool operator==(const Fingerprint &) const = default;
};

Fingerprint fingerprintOf(std::string_view bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return {bytes.size(), hash};
}

bool isThere(const fs::path &file)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(file, error));
}

std::optional<std::string> bytesOf(const fs::path &file)
{
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in && in.bad())
        return std::nullopt;
    return bytes.str();
}

std::optional<Fingerprint> fingerprintOfFile(const fs::path &file)
{
    const auto bytes = bytesOf(file);
    return bytes ? std::optional(fingerprintOf(*bytes)) : std::nullopt;
}

fs::path withSuffix(const fs::path &file, const char *suffix)
{
    return file.parent_path() /
           fs::path(u8"." + file.filename().u8string() + reinterpret_cast<const char8_t *>(suffix));
}

enum class Change { Add, Replace, Remove };

struct PictureStep {
    Change change;
    std::string name;
    Fingerprint after;  // Add and Replace
    PictureBytes bytes; // in the save that writes them; none when read from a journal
};

// What one save changes, as its journal records it.
struct Journal {
    fs::path target; // the list file written (a link followed)
    bool oldList = false;
    bool keepBackup = false;
    bool madeFolder = false;
    Fingerprint before; // of the old list
    Fingerprint after;  // of the new list
    std::vector<PictureStep> pictures;

    std::string text(const fs::path &folder) const
    {
        std::ostringstream out;
        const auto print = [&](const Fingerprint &f) { out << f.size << ' ' << f.hash; };
        out << kJournalHeader << '\n';
        const fs::path shown = target.parent_path() == folder ? target.filename() : target;
        out << "target " << reinterpret_cast<const char *>(shown.u8string().c_str()) << '\n';
        out << "flags " << oldList << keepBackup << madeFolder << '\n';
        out << "before ";
        print(before);
        out << "\nafter ";
        print(after);
        out << '\n';
        for (const PictureStep &step : pictures) {
            out << (step.change == Change::Add ? "add " : step.change == Change::Replace ? "replace " : "remove ");
            print(step.after);
            out << ' ' << step.name << '\n';
        }
        out << "end\n";
        return out.str();
    }

    static Journal read(const std::string &text, const fs::path &folder)
    {
        const auto damaged = [] { return ListError(i18n::tr("the journal of an interrupted save is damaged")); };
        std::istringstream in(text);
        std::string line;
        if (!std::getline(in, line) || line != kJournalHeader)
            throw damaged();
        Journal journal;
        const auto fingerprint = [&](std::istringstream &words) {
            Fingerprint f;
            if (!(words >> f.size >> f.hash))
                throw damaged();
            return f;
        };
        bool ended = false;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string word;
            words >> word;
            if (word == "target") {
                const std::string rest = line.substr(7);
                const fs::path named(std::u8string(rest.begin(), rest.end()));
                journal.target = named.is_absolute() ? named : folder / named;
            } else if (word == "flags") {
                std::string flags;
                words >> flags;
                if (flags.size() != 3)
                    throw damaged();
                journal.oldList = flags[0] == '1';
                journal.keepBackup = flags[1] == '1';
                journal.madeFolder = flags[2] == '1';
            } else if (word == "before") {
                journal.before = fingerprint(words);
            } else if (word == "after") {
                journal.after = fingerprint(words);
            } else if (word == "add" || word == "replace" || word == "remove") {
                PictureStep step{word == "add"       ? Change::Add
                                 : word == "replace" ? Change::Replace
                                                     : Change::Remove,
                                 {},
                                 fingerprint(words),
                                 nullptr};
                words.get(); // the space before the name, which may hold spaces itself
                std::getline(words, step.name);
                if (step.name.empty())
                    throw damaged();
                journal.pictures.push_back(std::move(step));
            } else if (word == "end") {
                ended = true;
            } else {
                throw damaged();
            }
        }
        if (!ended || journal.target.empty())
            throw damaged();
        return journal;
    }
};

// The files of one save, and the steps that carry it out, finish it or undo it.
class Transaction {
public:
    Transaction(const fs::path &dataIni, FileSystem &files)
        : files_(files), folder_(dataIni.parent_path()), pictureFolder_(folder_ / "picture"),
          journalFile_(withSuffix(dataIni, ".journal")), journalNew_(withSuffix(dataIni, ".journal.new"))
    {
    }

    Journal journal;

    fs::path listFolder() const { return journal.target.parent_path(); }
    fs::path listNew() const { return withSuffix(journal.target, ".new"); }
    fs::path listOld() const { return withSuffix(journal.target, ".old"); }
    fs::path backupFile() const { return fs::path(journal.target.native() + fs::path(".bak").native()); }
    fs::path file(const PictureStep &step) const { return catalogue::pictureFileOf(pictureFolder_, step.name); }
    fs::path newOf(const PictureStep &step) const { return withSuffix(file(step), ".new"); }
    fs::path oldOf(const PictureStep &step) const { return withSuffix(file(step), ".old"); }
    const fs::path &journalFile() const { return journalFile_; }
    const fs::path &pictureFolder() const { return pictureFolder_; }

    void writeJournal()
    {
        files_.write(journalNew_, journal.text(folder_), {});
        files_.flush(journalNew_);
        files_.rename(journalNew_, journalFile_);
        files_.flushFolder(folder_);
    }

    // Up to the list in place and the removed pictures set aside: every
    // step can still be undone.
    void carryOut(const std::string &bytes)
    {
        if (journal.madeFolder)
            files_.makeFolder(pictureFolder_);
        for (const PictureStep &step : journal.pictures)
            if (step.change != Change::Remove) {
                files_.write(newOf(step), *step.bytes, step.change == Change::Replace ? file(step) : fs::path());
                files_.flush(newOf(step));
            }
        files_.write(listNew(), bytes, journal.oldList ? journal.target : fs::path());
        files_.flush(listNew());
        // The pictures the new list needs, before the list: the game never
        // shows a prize of either list without its picture.
        for (const PictureStep &step : journal.pictures) {
            if (step.change == Change::Add)
                files_.rename(newOf(step), file(step));
            else if (step.change == Change::Replace)
                files_.replace(file(step), newOf(step), oldOf(step));
        }
        if (!journal.pictures.empty())
            files_.flushFolder(pictureFolder_);
        if (journal.oldList)
            files_.replace(journal.target, listNew(), listOld());
        else
            files_.rename(listNew(), journal.target);
        files_.flushFolder(listFolder());
        bool removed = false;
        for (const PictureStep &step : journal.pictures)
            if (step.change == Change::Remove && isThere(file(step))) {
                files_.rename(file(step), oldOf(step));
                removed = true;
            }
        if (removed)
            files_.flushFolder(pictureFolder_);
    }

    // The save went through: the old files and the journal go. Also
    // finishes a save whose list is in place but whose journal is not gone.
    void finish()
    {
        // Only a save stopped before its removals, or a power cut that lost renames, leaves work here.
        bool changed = false;
        for (const PictureStep &step : journal.pictures) {
            const fs::path left = step.change == Change::Remove ? file(step) : newOf(step);
            if (!isThere(left))
                continue;
            if (step.change == Change::Remove || fingerprintOfFile(left) != step.after)
                files_.remove(left); // a picture not written whole was never renamed into place
            else
                files_.rename(left, file(step));
            changed = true;
        }
        if (changed)
            files_.flushFolder(pictureFolder_);
        if (isThere(listOld())) {
            if (journal.keepBackup)
                files_.rename(listOld(), backupFile());
            else
                files_.remove(listOld());
        }
        for (const PictureStep &step : journal.pictures)
            if (step.change != Change::Add)
                removeIfThere(oldOf(step));
        removeIfThere(listNew());
        files_.remove(journalFile_);
        files_.flushFolder(folder_);
    }

    // Puts every file back as it was before the save, newest change first.
    // Returns the steps that failed; the journal stays while any did.
    std::string undo()
    {
        std::string failed;
        const auto attempt = [&](auto step) {
            try {
                step();
            } catch (const std::exception &error) {
                failed += i18n::tr("; {0}", error.what());
            }
        };
        for (const PictureStep &step : journal.pictures)
            if (step.change == Change::Remove && isThere(oldOf(step)))
                attempt([&] { files_.rename(oldOf(step), file(step)); });
        attempt([&] {
            if (journal.oldList) {
                if (isThere(listOld()) && fingerprintOfFile(journal.target) != journal.before)
                    files_.rename(listOld(), journal.target);
                removeIfThere(listOld());
            } else if (fingerprintOfFile(journal.target) == journal.after) {
                files_.remove(journal.target);
            }
        });
        attempt([&] { removeIfThere(listNew()); });
        for (const PictureStep &step : journal.pictures) {
            if (step.change == Change::Replace && isThere(oldOf(step)))
                attempt([&] {
                    if (fingerprintOfFile(file(step)) == step.after)
                        files_.rename(oldOf(step), file(step));
                    removeIfThere(oldOf(step));
                });
            if (step.change == Change::Add && fingerprintOfFile(file(step)) == step.after)
                attempt([&] { files_.remove(file(step)); });
            if (step.change != Change::Remove)
                attempt([&] { removeIfThere(newOf(step)); });
        }
        if (journal.madeFolder)
            attempt([&] { files_.removeFolder(pictureFolder_); });
        if (isThere(pictureFolder_))
            attempt([&] { files_.flushFolder(pictureFolder_); });
        attempt([&] { files_.flushFolder(listFolder()); });
        if (failed.empty())
            attempt([&] {
                removeIfThere(journalNew_);
                removeIfThere(journalFile_);
                files_.flushFolder(folder_);
            });
        return failed;
    }

    // The folder holds the list and the pictures as saved.
    bool holdsTheNewState() const
    {
        if (fingerprintOfFile(journal.target) != journal.after)
            return false;
        for (const PictureStep &step : journal.pictures)
            if (step.change == Change::Remove ? isThere(file(step)) : fingerprintOfFile(file(step)) != step.after)
                return false;
        return true;
    }

    // The list was put in place: what is left is to finish.
    bool listInPlace() const
    {
        return !isThere(listNew()) && fingerprintOfFile(journal.target) == journal.after &&
               (!journal.oldList || isThere(listOld()));
    }

    // A journal whose save changed nothing yet; best effort, as the save has failed already.
    void dropJournal()
    {
        try {
            removeIfThere(journalNew_);
            removeIfThere(journalFile_);
        } catch (const std::exception &) {
            // left for the next open, which removes it as a journal of a save that changed nothing
        }
    }
    void removeIfThere(const fs::path &file)
    {
        if (isThere(file))
            files_.remove(file);
    }
    const fs::path &journalNew() const { return journalNew_; }

private:
    FileSystem &files_;
    fs::path folder_;
    fs::path pictureFolder_;
    fs::path journalFile_;
    fs::path journalNew_;
};

} // namespace

std::string finishInterruptedSave(const fs::path &dataIni, FileSystem &files)
{
    Transaction save(dataIni, files);
    const auto text = bytesOf(save.journalFile());
    if (!text) {
        if (!isThere(save.journalNew()))
            return {};
        save.removeIfThere(save.journalNew()); // a save that stopped before it changed anything
        return {};
    }
    save.journal = Journal::read(*text, dataIni.parent_path());
    const std::string list = dataIni.string();
    if (save.holdsTheNewState() || save.listInPlace()) {
        try {
            save.finish();
        } catch (const std::exception &error) {
            throw ListError(i18n::tr("{0} was saved when a save was interrupted, but its leftover files cannot be "
                                     "removed: {1}",
                                     list, error.what()));
        }
        return i18n::tr("A save of {0} was interrupted after the list was written; it has been finished: the list "
                        "and its pictures are as saved.",
                        list);
    }
    const std::string failed = save.undo();
    if (!failed.empty())
        throw ListError(i18n::tr("A save of {0} was interrupted, and undoing it failed{1}; the folder may hold old "
                                 "and new files side by side until this succeeds",
                                 list, failed));
    return i18n::tr("A save of {0} was interrupted before the list was written; it has been undone: the list and "
                    "its pictures are as they were before it.",
                    list);
}

std::string saveListFiles(const fs::path &dataIni, const std::string &bytes,
                          const std::map<std::string, PictureBytes> &pictures, Backup backup, FileSystem &files)
{
    const std::string list = dataIni.string();
    const std::string finished = finishInterruptedSave(dataIni, files);
    Transaction save(dataIni, files);
    Journal &journal = save.journal;
    journal.target = checkedTarget(dataIni);
    const auto old = bytesOf(journal.target);
    journal.oldList = old.has_value();
    journal.keepBackup = backup == Backup::Keep;
    journal.before = old ? fingerprintOf(*old) : Fingerprint{};
    journal.after = fingerprintOf(bytes);
    for (const auto &[name, picture] : pictures) {
        const fs::path file = catalogue::pictureFileOf(save.pictureFolder(), name);
        if (file.empty())
            throw ListError(i18n::tr("cannot save {0}: the name \"{1}\" cannot be a picture file name; nothing was "
                                     "written",
                                     list, name));
        const auto before = bytesOf(file);
        if (picture ? before == *picture : !before)
            continue;
        journal.pictures.push_back({!picture ? Change::Remove
                                    : before ? Change::Replace
                                             : Change::Add,
                                    name, picture ? fingerprintOf(*picture) : Fingerprint{}, picture});
        std::error_code error;
        if (picture && !fs::is_directory(save.pictureFolder(), error))
            journal.madeFolder = true;
    }

    const std::string bak = save.backupFile().string();
    const std::string kept =
        journal.oldList && journal.keepBackup ? i18n::tr("; {0} is as it was", bak) : std::string();
    try {
        save.writeJournal();
    } catch (const std::exception &error) {
        save.dropJournal();
        throw ListError(i18n::tr("cannot save {0}: {1}; nothing was changed: the list and its pictures are as they "
                                 "were{2}",
                                 list, error.what(), kept));
    }
    try {
        save.carryOut(bytes);
    } catch (const std::exception &error) {
        const std::string failed = save.undo();
        if (failed.empty())
            throw ListError(i18n::tr("cannot save {0}: {1}; the save was undone: the list and its pictures are as "
                                     "they were{2}",
                                     list, error.what(), kept));
        throw ListError(i18n::tr("cannot save {0}: {1}; putting the old files back failed too{2}; until the list is "
                                 "opened again, which finishes putting them back, the folder may hold old and new "
                                 "files side by side",
                                 list, error.what(), failed));
    }
    try {
        save.finish();
    } catch (const std::exception &error) {
        return (finished.empty() ? "" : finished + " ") +
               i18n::tr("{0} was saved with its pictures, but {1}; a leftover file of the save stays "
                        "until the list is next opened, which removes it",
                        list, error.what());
    }
    return finished;
}

std::optional<DiskVersion> diskVersionOf(const fs::path &file)
{
    const auto bytes = bytesOf(file);
    std::error_code error;
    const auto time = fs::last_write_time(file, error);
    if (!bytes || error)
        return std::nullopt;
    return DiskVersion{bytes->size(), time, fingerprintOf(*bytes).hash};
}

bool isSaveLeftover(const fs::path &file)
{
    const std::string name = file.filename().string();
    const auto endsWith = [&](std::string_view end) { return name.ends_with(end); };
    return name.starts_with('.') && (endsWith(".new") || endsWith(".old") || endsWith(".journal"));
}

} // namespace authoring

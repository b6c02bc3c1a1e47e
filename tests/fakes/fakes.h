// Test doubles: scripted random numbers, a picture loader that only looks at
// the file system, a temporary data folder and a window that logs every call.
#pragma once

#include "catalogue.h"
#include "headless_window.h"
#include "random_source.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace fakes {

// Hands out the scripted numbers in order, then repeats the last one forever
// (or fails, when told to be strict). Counts what was taken, and how many
// numbers had been taken at each seeding.
class ScriptedRandom : public reel::RandomSource {
public:
    explicit ScriptedRandom(std::vector<float> script, bool strict = false)
        : script_(std::move(script)), strict_(strict)
    {
    }
    void randomize() override
    {
        ++seedings;
        takenAtSeeding.push_back(taken);
    }
    float next() override
    {
        if (taken < script_.size())
            return script_[taken++];
        if (strict_ || script_.empty())
            throw std::logic_error("random script exhausted");
        ++taken;
        return script_.back();
    }

    std::size_t taken = 0;
    int seedings = 0;
    std::vector<std::size_t> takenAtSeeding;

private:
    std::vector<float> script_;
    bool strict_;
};

struct FakePicture : catalogue::Picture {
    explicit FakePicture(std::filesystem::path p) : path(std::move(p)) {}
    std::filesystem::path path;
};

inline std::filesystem::path pathOf(const catalogue::PicturePtr &picture)
{
    auto fake = std::dynamic_pointer_cast<const FakePicture>(picture);
    return fake ? fake->path : std::filesystem::path();
}

// Loads any file that exists as a FakePicture naming it; records every request.
class FakePictureLoader : public catalogue::PictureLoader {
public:
    catalogue::PicturePtr load(const std::filesystem::path &file) override
    {
        requested.push_back(file);
        std::error_code ec; // a name too long for the file system is just a missing file
        if (!std::filesystem::is_regular_file(file, ec))
            throw catalogue::RuntimeError(catalogue::ErrorCode::FileNotFound);
        return std::make_shared<FakePicture>(file);
    }
    std::vector<std::filesystem::path> requested;
};

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        // A new name until one is free: create_directory is false when it exists.
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = std::filesystem::temp_directory_path() / ("prizedraw-" + std::to_string(random()));
            if (std::filesystem::create_directory(path_))
                return;
        }
        throw std::runtime_error("no free name for a temporary folder");
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return path_; }

    // Writes bytes exactly as given (no line-end translation).
    std::filesystem::path write(const std::filesystem::path &relative, const std::string &bytes) const
    {
        const auto file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    void writeDataIni(const std::string &bytes) const { write("data.ini", bytes); }
    void addPicture(const std::string &utf8Name) const
    {
        write(std::filesystem::path("picture") / catalogue::utf8Path(utf8Name + ".jpg"), "jpg");
    }

private:
    std::filesystem::path path_;
};

// One record of data.ini with CR LF line ends; name and amount as raw bytes.
inline std::string record(const std::string &weight, const std::string &color, const std::string &name,
                          const std::string &amount, const std::string &fifth = "")
{
    return weight + "\r\n" + color + "\r\n" + name + "\r\n" + amount + "\r\n" + fifth + "\r\n";
}

// Logs every card write and window operation as text, in order; positions
// are those of a headless window.
class RecordingWindow : public reel::ReelWindow {
public:
    struct LoggingCard : reel::Card {
        LoggingCard(std::vector<std::string> &log, int index) : log_(log), index_(index) {}
        void note(const std::string &what) { log_.push_back(std::to_string(index_) + ":" + what); }
        void setFillColor(std::int32_t c) override { note("fill " + std::to_string(c)); }
        void setBorderColor(std::int32_t c) override { note("border " + std::to_string(c)); }
        void setName(std::string_view t) override { note("name " + std::string(t)); }
        void setAmount(std::string_view t) override { note("amount " + std::string(t)); }
        void setPicture(const catalogue::PicturePtr &p) override
        {
            const std::u8string file = p ? pathOf(p).filename().u8string() : u8"none";
            note("picture " + std::string(file.begin(), file.end()));
        }

    private:
        std::vector<std::string> &log_;
        int index_;
    };

    int cardCount() const override { return positions.cardCount(); }
    reel::Card &card(int i) override
    {
        positions.card(i); // same range check
        return cards_[i];
    }
    float left(int i) const override { return positions.left(i); }
    void setLeft(int i, float twips) override { positions.setLeft(i, twips); }
    float width(int i) const override { return positions.width(i); }
    void setTimerEnabled(bool on) override
    {
        log.push_back(on ? "timer on" : "timer off");
        positions.setTimerEnabled(on);
    }
    void setButtonEnabled(bool on) override
    {
        log.push_back(on ? "button on" : "button off");
        positions.setButtonEnabled(on);
    }

    std::vector<std::string> log;
    reel::HeadlessWindow positions;

private:
    LoggingCard cards_[4] = {{log, 0}, {log, 1}, {log, 2}, {log, 3}};
};

} // namespace fakes

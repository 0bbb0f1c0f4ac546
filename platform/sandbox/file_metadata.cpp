// The machine's store of file attributes and creation times (file-attributes.ini).
#include "platform/sandbox/file_metadata.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "common/text/text.h"
#include "platform/sandbox/replace_host_file.h"

namespace rvx::sandbox {

using platform::Fail;
using platform::Status;

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kDaysFrom1601To1970 = 134774;

std::string KeyOf(const WindowsPath& path) { return text::ToUpper(path.Text()); }

struct Letter {
    char letter;
    uint32_t bit;
};
constexpr Letter kLetters[] = {{'R', platform::attributes::read_only},
                               {'H', platform::attributes::hidden},
                               {'S', platform::attributes::system},
                               {'A', platform::attributes::archive}};

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t year_of_era = year - era * 400;
    const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

void CivilFromDays(int64_t days, int64_t& year, int64_t& month, int64_t& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t day_of_era = days - era * 146097;
    const int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const int64_t month_index = (5 * day_of_year + 2) / 153;
    day = day_of_year - (153 * month_index + 2) / 5 + 1;
    month = month_index < 10 ? month_index + 3 : month_index - 9;
    year = year_of_era + era * 400 + (month <= 2);
}

bool ReadNumber(std::string_view& text, size_t digits, int64_t& out) {
    if (text.size() < digits) return false;
    int64_t value = 0;
    for (size_t i = 0; i < digits; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    text.remove_prefix(digits);
    out = value;
    return true;
}

bool Expect(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int64_t DaysInMonth(int64_t year, int64_t month) {
    constexpr int64_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::string AttributeLetters(uint32_t attributes) {
    std::string letters;
    for (const auto& entry : kLetters)
        if (attributes & entry.bit) letters += entry.letter;
    return letters.empty() ? "-" : letters;
}

bool ParseAttributeLetters(std::string_view letters, uint32_t& attributes) {
    if (letters == "-") {
        attributes = 0;
        return true;
    }
    if (letters.empty()) return false;
    uint32_t bits = 0;
    for (char c : letters) {
        bool known = false;
        for (const auto& entry : kLetters)
            if (text::ToUpper(c) == entry.letter) bits |= entry.bit, known = true;
        if (!known) return false;
    }
    attributes = bits;
    return true;
}

std::string FormatFileTime(platform::FileTime time) {
    const int64_t ticks = static_cast<int64_t>(time.ticks / kTicksPerSecond);  // whole seconds since 1601
    const int64_t fraction = static_cast<int64_t>(time.ticks % kTicksPerSecond);
    const int64_t days = ticks / kSecondsPerDay;
    const int64_t seconds = ticks % kSecondsPerDay;
    int64_t year = 0, month = 0, day = 0;
    CivilFromDays(days - kDaysFrom1601To1970, year, month, day);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld.%07lld", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60),
                  static_cast<long long>(fraction));
    return buffer;
}

bool ParseFileTime(std::string_view text, platform::FileTime& time) {
    int64_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, fraction = 0;
    // Years past 9999 are file times too (up to 30827); they take a fifth digit.
    const size_t year_digits = text.size() > 4 && text[4] >= '0' && text[4] <= '9' ? 5 : 4;
    if (!ReadNumber(text, year_digits, year) || !Expect(text, '-') || !ReadNumber(text, 2, month) || !Expect(text, '-') ||
        !ReadNumber(text, 2, day) || !Expect(text, ' ') || !ReadNumber(text, 2, hour) || !Expect(text, ':') ||
        !ReadNumber(text, 2, minute) || !Expect(text, ':') || !ReadNumber(text, 2, second))
        return false;
    if (!text.empty()) {
        if (!Expect(text, '.') || text.empty() || text.size() > 7) return false;
        const size_t digits = text.size();
        if (!ReadNumber(text, digits, fraction)) return false;
        for (size_t i = digits; i < 7; ++i) fraction *= 10;
    }
    if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 ||
        second > 59)
        return false;
    const int64_t days = DaysFromCivil(year, month, day) + kDaysFrom1601To1970;
    const int64_t seconds = days * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    time.ticks = static_cast<uint64_t>(seconds) * kTicksPerSecond + static_cast<uint64_t>(fraction);
    return true;
}

platform::Result<FileMetadataStore> FileMetadataStore::Load(const std::string& host_path) {
    std::error_code error;
    const auto kind = std::filesystem::status(host_path, error).type();
    FileMetadataStore store;
    if (kind != std::filesystem::file_type::not_found) {
        std::ifstream in(host_path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        if (!in || kind != std::filesystem::file_type::regular) return Fail(Status::io_error, host_path + " cannot be read");
        auto parsed = Parse(content.str(), host_path);
        if (!parsed) return parsed.error();
        store = std::move(parsed.value());
    }
    store.host_path_ = host_path;
    return store;
}

platform::Result<FileMetadataStore> FileMetadataStore::Parse(std::string_view text, std::string_view file_name) {
    FileMetadataStore store;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        line = text::TrimBlanks(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
        if (line.empty() || line.front() == ';' || line.front() == '#' || text::EqualsIgnoreCase(line, "[files]")) continue;
        auto fail = [&](const std::string& why) {
            return Fail(Status::invalid_argument, std::string(file_name) + " line " + std::to_string(number) + ": " + why);
        };
        // A name may hold "=", the attributes and time never do: the last "=" separates.
        const size_t equals = line.rfind('=');
        if (equals == std::string_view::npos) return fail("expected PATH=ATTRIBUTES[, CREATED]");
        const std::string_view path_text = text::TrimBlanks(line.substr(0, equals));
        if (path_text.size() < 3 || path_text[1] != ':' || path_text[2] != '\\') return fail("the path must be a full path such as C:\\File.txt");
        auto path = NormalizeWindowsPath(path_text, WindowsPath{});
        if (!path) return fail(path.error().detail);
        std::string_view value = text::TrimBlanks(line.substr(equals + 1));
        const size_t comma = value.find(',');
        FileMetadata metadata;
        if (!ParseAttributeLetters(text::TrimBlanks(value.substr(0, comma)), metadata.attributes))
            return fail("attributes are letters of RHSA, or - for none");
        if (comma != std::string_view::npos) {
            platform::FileTime created;
            if (!ParseFileTime(text::TrimBlanks(value.substr(comma + 1)), created))
                return fail("the creation time must look like 2001-08-24 12:00:00.0000000");
            metadata.creation = created;
        }
        store.entries_[KeyOf(path.value())] = Entry{path->Text(), metadata};
    }
    return store;
}

std::string FileMetadataStore::Format() const {
    std::string out =
        "; Attributes and creation times of the machine's files that differ from a new file's\n"
        "; (docs/simulated-machine.md). PATH=ATTRIBUTES[, CREATED]: R read-only, H hidden, S system,\n"
        "; A archive, - none; the creation time in UTC.\n"
        "[files]\n";
    std::map<std::string, const Entry*> kept;
    for (const auto& [key, entry] : entries_)
        if (!one_run_drives_.count(key[0])) kept[key] = &entry;
    for (const auto& [key, entry] : set_aside_) kept[key] = &entry;
    for (const auto& [key, entry] : kept) {
        out += entry->path + "=" + AttributeLetters(entry->metadata.attributes);
        if (entry->metadata.creation) out += ", " + FormatFileTime(*entry->metadata.creation);
        out += "\n";
    }
    return out;
}

platform::Outcome FileMetadataStore::Save() {
    if (!changed_ || host_path_.empty()) return {};
    if (auto replaced = ReplaceHostFile(host_path_, Format()); !replaced) return replaced;
    changed_ = false;
    return {};
}

std::optional<FileMetadata> FileMetadataStore::Find(const WindowsPath& path) const {
    // Most machines keep nothing for most files: no key to make then.
    if (entries_.empty()) return std::nullopt;
    auto found = entries_.find(KeyOf(path));
    if (found == entries_.end()) return std::nullopt;
    return found->second.metadata;
}

bool FileMetadataStore::HoldsAnythingWithin(const WindowsPath& folder) const {
    if (entries_.empty()) return false;
    const std::string key = KeyOf(folder);
    for (auto it = entries_.lower_bound(key); it != entries_.end() && it->first.starts_with(key); ++it)
        if (IsWithinKey(it->first, key)) return true;
    return false;
}

void FileMetadataStore::Record(const WindowsPath& path, const FileMetadata& metadata, bool folder) {
    FileMetadata kept = metadata;
    kept.attributes &= kStoredAttributes;
    const FileMetadata fresh{folder ? 0u : platform::attributes::archive, std::nullopt};
    if (kept == fresh && entries_.empty()) return;
    const std::string key = KeyOf(path);
    auto found = entries_.find(key);
    if (kept == fresh) {
        if (found == entries_.end()) return;
        entries_.erase(found);
    } else {
        if (found != entries_.end() && found->second.metadata == kept && found->second.path == path.Text()) return;
        entries_[key] = Entry{path.Text(), kept};
    }
    changed_ = true;
}

void FileMetadataStore::MarkChanged(const WindowsPath& path) {
    if (entries_.empty()) return;
    auto found = entries_.find(KeyOf(path));
    if (found == entries_.end() || (found->second.metadata.attributes & platform::attributes::archive)) return;
    FileMetadata metadata = found->second.metadata;
    metadata.attributes |= platform::attributes::archive;
    Record(path, metadata, false);
}

bool FileMetadataStore::IsWithinKey(const std::string& candidate, const std::string& key) {
    if (!candidate.starts_with(key)) return false;
    return candidate.size() == key.size() || key.back() == '\\' || candidate[key.size()] == '\\';
}

std::map<std::string, FileMetadataStore::Entry>::iterator FileMetadataStore::FirstWithin(const std::string& key) {
    return entries_.lower_bound(key);
}

void FileMetadataStore::Forget(const WindowsPath& path) {
    if (entries_.empty()) return;
    const std::string key = KeyOf(path);
    for (auto it = FirstWithin(key); it != entries_.end() && it->first.starts_with(key);) {
        if (IsWithinKey(it->first, key)) {
            it = entries_.erase(it);
            changed_ = true;
        } else {
            ++it;
        }
    }
}

void FileMetadataStore::Move(const WindowsPath& from, const WindowsPath& to) {
    if (from.IsRoot() || to.IsRoot()) return;
    const std::string key = KeyOf(from);
    const std::string from_text = from.Text();
    const std::string to_text = to.Text();
    std::map<std::string, Entry> moved;
    for (auto it = FirstWithin(key); it != entries_.end() && it->first.starts_with(key);) {
        if (!IsWithinKey(it->first, key)) {
            ++it;
            continue;
        }
        // The part below from keeps its spelling; the names of to are those the caller gave.
        Entry entry = std::move(it->second);
        entry.path = to_text + entry.path.substr(from_text.size());
        moved[text::ToUpper(entry.path)] = std::move(entry);
        it = entries_.erase(it);
    }
    Forget(to);
    if (!moved.empty()) changed_ = true;
    for (auto& [moved_key, entry] : moved) entries_[moved_key] = std::move(entry);
}

void FileMetadataStore::MapDriveForOneRun(char drive) {
    drive = text::ToUpper(drive);
    if (!one_run_drives_.insert(drive).second) {
        // Mapped again: what the previous mapping recorded goes with it.
        for (auto it = entries_.begin(); it != entries_.end();) it = it->first[0] == drive ? entries_.erase(it) : std::next(it);
        return;
    }
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->first[0] == drive) {
            set_aside_.insert(*it);
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace rvx::sandbox

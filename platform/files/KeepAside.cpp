#include "platform/files/KeepAside.h"

#include <ctime>
#include <string>

#include "platform/files/Descriptor.h"

namespace vantrel::files {

namespace fs = std::filesystem;

namespace {

// Some names of a second may be taken; more than this many are not looked for.
constexpr int kNamesPerSecond = 100;

std::error_code Move(const fs::path& file, const fs::path& aside) {
    return ::rename(file.c_str(), aside.c_str()) == 0 ? std::error_code() : detail::LastError();
}

std::error_code LinkOrMove(const fs::path& file, const fs::path& aside) {
    if (::link(file.c_str(), aside.c_str()) == 0)
        return {};
    if (errno == EEXIST)
        return detail::LastError();
    // Some file systems have no hard links: the file moves aside, and the new one follows.
    return Move(file, aside);
}

fs::path WithEnding(const fs::path& file, std::string_view ending) {
    return fs::path(file.native() + std::string(ending));
}

}  // namespace

fs::path AsideName(const fs::path& file, AsideShape shape,
                   std::chrono::system_clock::time_point when, int taken) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "-%Y-%m-%d-%H%M%S", &local);
    if (shape == AsideShape::Damaged) {
        const std::string number = taken > 0 ? "-" + std::to_string(taken) : "";
        return WithEnding(file, ".damaged" + (stamp + number));
    }
    const std::string number = taken > 0 ? "-" + std::to_string(taken + 1) : "";
    return file.parent_path() / (file.stem().string() + stamp + number + file.extension().string());
}

std::optional<FileError> KeepAside(const fs::path& file, AsideShape shape, AsideMethod method,
                                   std::chrono::system_clock::time_point when, fs::path& keptAs,
                                   std::string_view companion) {
    const fs::path source = method == AsideMethod::Link ? detail::FollowLink(file) : file;
    std::error_code error = std::make_error_code(std::errc::file_exists);
    for (int taken = 0; taken < kNamesPerSecond; ++taken) {
        const fs::path aside = AsideName(source, shape, when, taken);
        std::error_code ec;
        if (fs::exists(aside, ec) ||
            (!companion.empty() && fs::exists(WithEnding(aside, companion), ec)))
            continue;
        error = method == AsideMethod::Link ? LinkOrMove(source, aside) : Move(source, aside);
        if (error == std::errc::file_exists)
            continue;
        if (error)
            break;
        if (!companion.empty() && fs::exists(WithEnding(source, companion), ec))
            ::rename(WithEnding(source, companion).c_str(), WithEnding(aside, companion).c_str());
        detail::SyncFolder(aside.parent_path());
        keptAs = aside;
        return std::nullopt;
    }
    return FileError{Operation::Write, file, error};
}

}  // namespace vantrel::files

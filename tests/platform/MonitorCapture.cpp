#include "tests/platform/MonitorCapture.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace vantrel::audio::test {

MonitorCapture::MonitorCapture(const std::string& sink)
    : path_(std::filesystem::temp_directory_path() /
            ("vantrel-capture-" + std::to_string(::getpid()) + ".raw")) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, path_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> args = {
        "parec",        "-d",           sink + ".monitor",  "--format=s16le",
        "--rate=22050", "--channels=1", "--latency-msec=20"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    started_ = posix_spawnp(&pid_, "parec", &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
}

MonitorCapture::~MonitorCapture() {
    Stop();
    std::error_code error;
    std::filesystem::remove(path_, error);
}

std::size_t MonitorCapture::SamplesSoFar() const {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path_, error);
    return error ? 0 : static_cast<std::size_t>(bytes / 2);
}

bool MonitorCapture::WaitUntilRecording() {
    for (int i = 0; started_ && i < 100; ++i) {
        if (SamplesSoFar() > 2000) {
            return true;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            started_ = false;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

std::vector<int16_t> MonitorCapture::Stop() {
    if (started_) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        started_ = false;
    }
    std::ifstream file(path_, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

}  // namespace vantrel::audio::test

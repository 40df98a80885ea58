#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace ledgerlift::test {

// A program run in the background, its standard output (and its standard
// error, when asked) read line by line through one pipe. Standard input is
// empty. A program still running when this goes is killed.
class BackgroundProgram {
  public:
    enum class Streams { Output, OutputAndErrors };

    // fileSizeLimit stands for a disk that is full beyond that size: a write
    // past it fails.
    explicit BackgroundProgram(const std::vector<std::string>& args,
                               Streams streams = Streams::Output,
                               rlim_t fileSizeLimit = RLIM_INFINITY) {
        int out[2];
        if (pipe(out) != 0) {
            throw std::runtime_error("no pipe");
        }
        pid_ = fork();
        if (pid_ == 0) {
            int devnull = open("/dev/null", O_RDWR);
            dup2(out[1], STDOUT_FILENO);
            dup2(streams == Streams::OutputAndErrors ? out[1] : devnull, STDERR_FILENO);
            dup2(devnull, STDIN_FILENO);
            close(out[0]);
            if (fileSizeLimit != RLIM_INFINITY) {
                signal(SIGXFSZ, SIG_IGN);
                rlimit limit{fileSizeLimit, fileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            std::vector<char*> argv;
            for (const auto& a : args) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = fdopen(out[0], "r");
    }
    ~BackgroundProgram() {
        if (pid_ > 0) {
            Kill();
            Wait();
        }
        if (out_) {
            fclose(out_);
        }
    }
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    // Reads up to a line that starts with prefix; false when the output ends
    // first.
    bool WaitForLine(const std::string& prefix) {
        char line[8192];
        while (out_ && fgets(line, sizeof line, out_)) {
            output_ += line;
            if (std::string(line).rfind(prefix, 0) == 0) {
                return true;
            }
        }
        return false;
    }
    void Signal(int sig) { kill(pid_, sig); }
    void Kill() { Signal(SIGKILL); }
    // Reads the rest of the output, then gives the exit status, or 128 plus
    // the signal that ended the program.
    int Wait() {
        WaitForLine("\x01never");
        int raw = 0;
        waitpid(pid_, &raw, 0);
        pid_ = -1;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    // All that was read so far.
    const std::string& Output() const { return output_; }

  private:
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    std::string output_;
};

}  // namespace ledgerlift::test

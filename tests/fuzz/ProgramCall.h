#pragma once

#include <QTemporaryDir>

#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

// A program and its arguments from fuzz bytes: a flag byte, then fields separated by NUL bytes
// (no command line holds one). The first field names the program, a file made for the call
// in a folder of the process's own (Dormivo writes the paths of existing programs only) and
// removed with it. The splitter has no way to write a double quote inside an argument, so
// arguments are taken without theirs.
class ProgramCall {
public:
    explicit ProgramCall(std::string_view bytes) {
        if (bytes.empty())
            return;
        quoted_ = bytes[0] & 1;
        std::vector<std::string> fields{""};
        for (const char c : bytes.substr(1)) {
            if (c == '\0')
                fields.emplace_back();
            else if (c != '"' || fields.size() == 1)
                fields.back() += c;
        }
        const std::string& name = fields[0];
        if (name.empty() || name == "." || name == ".." || name.size() > 255 ||
            name.find('/') != std::string::npos)
            return;
        program = folder() + "/" + name;
        const int fd = ::open(program.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0700);
        made_ = fd >= 0 && ::close(fd) == 0;
        arguments.assign(fields.begin() + 1, fields.end());
    }
    ~ProgramCall() {
        if (made_)
            ::unlink(program.c_str());
    }
    ProgramCall(const ProgramCall&) = delete;
    ProgramCall& operator=(const ProgramCall&) = delete;

    bool made() const { return made_; }
    // The program's path as Dormivo writes it, bare, or in double quotes as a user may write
    // it (when it holds none); then each argument in double quotes.
    std::string commandLine() const {
        const bool quote = quoted_ && program.find('"') == std::string::npos;
        std::string line = quote ? '"' + program + '"' : program;
        for (const std::string& argument : arguments)
            line += " \"" + argument + '"';
        return line;
    }

    std::string program;
    std::vector<std::string> arguments;

private:
    static const std::string& folder() {
        static const QTemporaryDir made;
        static const std::string path = made.path().toStdString();
        return path;
    }

    bool quoted_ = false;
    bool made_ = false;
};

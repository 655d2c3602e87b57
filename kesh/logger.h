#pragma once

// Provisional: the full logger (time text, daily files) follows once the
// time and file types exist.

namespace kesh {

enum { LogLevelError = 0 };

class Logger {
public:
    bool write(const char* tag, const char* file, int line, const char* message);
};

Logger& getLogger();
bool isLogLevelEnabled(unsigned level);

}  // namespace kesh

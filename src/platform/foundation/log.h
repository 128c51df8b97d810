#pragma once
// The device's NSLog: one line per message on standard error, with the time, the program
// name and the process id. A LogCapture in scope receives the messages instead (tests).
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"

namespace vx::log {

void setProgramName(std::string name);
void write(std::string_view message);
// Writes the reason to the log and gives it back as a failure: `return log::failAndLog(why);`
Error failAndLog(std::string reason);

class Capture {
public:
    Capture();
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    std::vector<std::string> lines() const;
    bool contains(std::string_view fragment) const;
    void clear();

private:
    Capture* previous_;
    std::vector<std::string> lines_;
    friend void write(std::string_view message);
};

}  // namespace vx::log

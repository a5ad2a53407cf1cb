// A virtual X server for the desktop tests: Xvfb started on a display number it picks for
// itself (-displayfd), named by DISPLAY while the suite runs and stopped at its end. When it
// cannot start, the tests skip (and CTest reports them skipped).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace brtl_test {

class Xvfb {
  public:
    // Starts the server (with the extra options) and sets DISPLAY; false (with the reason) when
    // it cannot start.
    bool start(std::string &reason, const std::vector<std::string> &options = {});
    // Stops the server and restores DISPLAY.
    void stop();
    const std::string &display() const { return display_; }

  private:
    pid_t pid_ = -1;
    std::string display_;
    std::string saved_display_;
    bool had_display_ = false;
};

} // namespace brtl_test

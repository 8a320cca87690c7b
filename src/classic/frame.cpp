// The frame every screen shares: headings and the two stop prompts.
#include "classic/views.hpp"
#include "console/console_io.hpp"

void WriteHeading(const std::string& heading) {
    ConLine();
    ConLine(heading);
}

void WaitForEnter() {
    std::string discarded;
    ConReadLine(discarded);
}

void PauseMore() {
    ConLine();
    ConWrite(" ---- More ----");
    ConFlush();
    WaitForEnter();
}

void PauseEnd() {
    ConLine();
    ConWrite(" ---- End ----");
    ConFlush();
    WaitForEnter();
}

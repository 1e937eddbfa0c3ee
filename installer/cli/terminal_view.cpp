#include "installer/cli/terminal_view.h"

#include <ostream>

#include "platform/text_codec.h"

namespace tarnel {

void TerminalView::EndProgressLine() {
    if (!progressShown_)
        return;
    out_ << '\n';
    progressShown_ = false;
}

void TerminalView::SetStatus(const std::string& text) {
    EndProgressLine();
    status_ = text;
    out_ << text << std::endl;
}

void TerminalView::SetProgress(int percent) {
    if (!outIsTerminal_)
        return;
    if (percent < 0) {
        EndProgressLine();
        return;
    }
    out_ << '\r' << status_ << ' ' << percent << '%' << std::flush;
    progressShown_ = true;
}

void TerminalView::ShowBox(const std::string& text) {
    EndProgressLine();
    err_ << text << std::endl;
}

void TerminalView::ShowMessage(const std::string& text, const std::string& caption) {
    EndProgressLine();
    err_ << caption << ": " << text << std::endl;
}

}  // namespace tarnel

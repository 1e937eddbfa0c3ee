#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnel::sim {

// Where a shell command writes; the services frame it (shell v2) or pass it raw.
class CommandOutput {
  public:
    virtual ~CommandOutput() = default;
    virtual void Out(std::string_view bytes) = 0;
    virtual void Err(std::string_view bytes) = 0;
};

// What a shell command reads: the rest of its stream, a redirected file, or nothing.
class CommandInput {
  public:
    virtual ~CommandInput() = default;
    // Up to `limit` bytes; false at the end of the input.
    virtual bool Read(size_t limit, std::string& out) = 0;
};

class NoInput final : public CommandInput {
  public:
    bool Read(size_t, std::string&) override { return false; }
};

class TextInput final : public CommandInput {
  public:
    explicit TextInput(std::string text) : text_(std::move(text)) {}
    bool Read(size_t limit, std::string& out) override {
        if (text_.empty()) {
            return false;
        }
        out = text_.substr(0, limit);
        text_.erase(0, out.size());
        return true;
    }

  private:
    std::string text_;
};

}  // namespace tarnel::sim

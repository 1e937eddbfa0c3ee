#include "sim/shell_interpreter.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>

#include "sim/shell_commands.h"
#include "sim/shell_parser.h"

namespace tarnel::sim {

namespace {

const CommandTable& Commands() {
    static const CommandTable table = [] {
        CommandTable commands;
        AddFileCommands(commands);
        AddPackageCommands(commands);
        AddSystemCommands(commands);
        AddDumpsysCommand(commands);
        AddDeviceFactCommands(commands);
        return commands;
    }();
    return table;
}

// Standard output and error of one command after its redirections.
class RedirectedOutput final : public CommandOutput {
  public:
    explicit RedirectedOutput(CommandOutput& base) : base_(base) {}

    void SendToFile(int fd, std::shared_ptr<std::ofstream> file) {
        targets_[fd] = {Kind::File, file};
    }
    void Discard(int fd) { targets_[fd] = {Kind::Discard, nullptr}; }
    void SameAsStandardOutput(int fd) { targets_[fd] = targets_[1]; }

    void Out(std::string_view bytes) override { Write(targets_[1], bytes); }
    void Err(std::string_view bytes) override { Write(targets_[2], bytes); }

  private:
    enum class Kind { BaseOut, BaseErr, File, Discard };
    struct Target {
        Kind kind;
        std::shared_ptr<std::ofstream> file;
    };

    void Write(const Target& target, std::string_view bytes) {
        switch (target.kind) {
            case Kind::BaseOut:
                base_.Out(bytes);
                break;
            case Kind::BaseErr:
                base_.Err(bytes);
                break;
            case Kind::File:
                target.file->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
                break;
            case Kind::Discard:
                break;
        }
    }

    CommandOutput& base_;
    std::array<Target, 3> targets_ = {
        {{Kind::Discard, nullptr}, {Kind::BaseOut, nullptr}, {Kind::BaseErr, nullptr}}};
};

void ShellError(CommandOutput& out, std::string_view message) {
    out.Err(std::string(kShellPath) + ": " + std::string(message) + "\n");
}

// Applies the redirections of one command; false (after complaining) when a file cannot be
// opened.
bool Redirect(const SimpleCommand& command, CommandContext& context, RedirectedOutput& out,
              std::unique_ptr<CommandInput>& in) {
    for (const Redirection& redirection : command.redirections) {
        if (redirection.kind == Redirection::Kind::ToStandardOutput) {
            out.SameAsStandardOutput(redirection.fd);
            continue;
        }
        const bool nowhere = redirection.target == "/dev/null";
        const bool reading = redirection.kind == Redirection::Kind::Input;
        if (nowhere && reading) {
            in = std::make_unique<NoInput>();
            continue;
        }
        if (nowhere) {
            out.Discard(redirection.fd);
            continue;
        }
        const HostLocation location = context.phone.Files().Locate(
            redirection.target, reading ? Access::Read : Access::Write, context.asRoot);
        if (reading) {
            std::ifstream file(location.host, std::ios::binary);
            if (location.error != 0 || !file) {
                const int error = location.error != 0 ? location.error : errno;
                ShellError(context.out,
                           "can't open " + redirection.target + ": " + std::strerror(error));
                return false;
            }
            in = std::make_unique<TextInput>(std::string(std::istreambuf_iterator<char>(file), {}));
            continue;
        }
        auto file = std::make_shared<std::ofstream>(
            location.host,
            std::ios::binary |
                (redirection.kind == Redirection::Kind::Append ? std::ios::app : std::ios::trunc));
        if (location.error != 0 || !*file) {
            const int error = location.error != 0 ? location.error : errno;
            ShellError(context.out,
                       "can't create " + redirection.target + ": " + std::strerror(error));
            return false;
        }
        out.SendToFile(redirection.fd, std::move(file));
    }
    return true;
}

int RunSimpleCommand(const SimpleCommand& command, CommandContext& context) {
    RedirectedOutput out(context.out);
    std::unique_ptr<CommandInput> redirectedInput;
    if (!Redirect(command, context, out, redirectedInput)) {
        return 1;
    }
    if (command.words.empty()) {
        return 0;
    }
    CommandContext inner{context.phone, redirectedInput ? *redirectedInput : context.in, out,
                         context.asRoot};
    return RunArguments(command.words, inner);
}

}  // namespace

bool HasCommand(std::string_view name) {
    return Commands().contains(name);
}

int RunArguments(const std::vector<std::string>& argv, CommandContext& context) {
    const auto it = Commands().find(argv.at(0));
    if (it == Commands().end()) {
        ShellError(context.out, argv[0] + ": not found");
        return 127;
    }
    return it->second(context, argv);
}

int RunCommandLine(std::string_view line, CommandContext& context) {
    const ParsedCommandLine parsed = ParseCommandLine(line);
    if (!parsed.error.empty()) {
        ShellError(context.out, parsed.error);
        return 1;
    }
    int status = 0;
    for (const CommandStep& step : parsed.steps) {
        if ((step.condition == RunCondition::AfterSuccess && status != 0) ||
            (step.condition == RunCondition::AfterFailure && status == 0)) {
            continue;
        }
        status = RunSimpleCommand(step.command, context);
    }
    return status;
}

}  // namespace tarnel::sim

#include "sim/shell_service.h"

#include "sim/little_endian.h"
#include "sim/shell_interpreter.h"

namespace tarnel::sim {

namespace {

// Shell protocol v2 packet ids.
enum PacketId : char {
    kStdin = 0,
    kStdout = 1,
    kStderr = 2,
    kExit = 3,
    kCloseStdin = 4,
};

// adb's reader takes packets of up to its own buffer size; stay well inside it.
constexpr size_t kLargestPacketData = 16 * 1024;

class RawOutput final : public CommandOutput {
  public:
    explicit RawOutput(Stream& stream) : stream_(stream) {}
    void Out(std::string_view bytes) override { stream_.Write(bytes); }
    void Err(std::string_view bytes) override { stream_.Write(bytes); }

  private:
    Stream& stream_;
};

class RawInput final : public CommandInput {
  public:
    explicit RawInput(Stream& stream) : stream_(stream) {}
    bool Read(size_t limit, std::string& out) override { return stream_.ReadSome(limit, out); }

  private:
    Stream& stream_;
};

class PacketOutput final : public CommandOutput {
  public:
    explicit PacketOutput(Stream& stream) : stream_(stream) {}
    void Out(std::string_view bytes) override { Send(kStdout, bytes); }
    void Err(std::string_view bytes) override { Send(kStderr, bytes); }

    void Send(PacketId id, std::string_view bytes) {
        do {
            const std::string_view piece = bytes.substr(0, kLargestPacketData);
            std::string packet(1, id);
            AppendU32(packet, static_cast<uint32_t>(piece.size()));
            packet.append(piece);
            if (!stream_.Write(packet)) {
                return;
            }
            bytes.remove_prefix(piece.size());
        } while (!bytes.empty());
    }

  private:
    Stream& stream_;
};

// Standard input arrives in packets too; close-stdin ends it, window sizes do not matter here.
class PacketInput final : public CommandInput {
  public:
    explicit PacketInput(Stream& stream) : stream_(stream) {}

    bool Read(size_t limit, std::string& out) override {
        while (pending_ == 0) {
            std::string header;
            if (ended_ || !stream_.ReadExactly(5, header)) {
                return false;
            }
            const uint32_t length = ReadU32(header, 1);
            if (header[0] == kStdin) {
                pending_ = length;
                continue;
            }
            std::string ignored;
            if (length > kLargestPacketData || header[0] == kCloseStdin ||
                (length > 0 && !stream_.ReadExactly(length, ignored))) {
                ended_ = true;
            }
        }
        const size_t size = std::min<size_t>(limit, std::min<uint64_t>(pending_, 64 * 1024));
        if (!stream_.ReadExactly(size, out)) {
            return false;
        }
        pending_ -= size;
        return true;
    }

  private:
    Stream& stream_;
    uint64_t pending_ = 0;
    bool ended_ = false;
};

// Without a command, adb wants an interactive shell: run each line as it comes.
int RunLines(CommandContext& context) {
    std::string buffered;
    std::string chunk;
    int status = 0;
    while (context.in.Read(4096, chunk)) {
        buffered += chunk;
        for (size_t end; (end = buffered.find('\n')) != std::string::npos;) {
            const std::string line = buffered.substr(0, end);
            buffered.erase(0, end + 1);
            if (line == "exit") {
                return status;
            }
            status = RunCommandLine(line, context);
        }
    }
    return status;
}

int Run(const std::string& commandLine, CommandContext& context) {
    return commandLine.empty() ? RunLines(context) : RunCommandLine(commandLine, context);
}

}  // namespace

void ServeRawShell(Stream& stream, Phone& phone, const std::string& commandLine) {
    RawInput in(stream);
    RawOutput out(stream);
    CommandContext context{phone, in, out, false};
    Run(commandLine, context);
}

void ServeShellV2(Stream& stream, Phone& phone, const std::string& commandLine) {
    PacketInput in(stream);
    PacketOutput out(stream);
    CommandContext context{phone, in, out, false};
    const int status = Run(commandLine, context);
    out.Send(kExit, std::string(1, static_cast<char>(status & 0xff)));
}

void ServeAbbExec(Stream& stream, Phone& phone, const std::vector<std::string>& argv) {
    RawInput in(stream);
    RawOutput out(stream);
    CommandContext context{phone, in, out, false};
    std::vector<std::string> command = {"cmd"};
    command.insert(command.end(), argv.begin(), argv.end());
    RunArguments(command, context);
}

}  // namespace tarnel::sim

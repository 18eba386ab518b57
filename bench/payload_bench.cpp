// The payload reader against zlib alone: UnpackChunk unpacking a setup file's six chunks into
// files, and zlib inflating the same streams into memory with one call each into buffers of
// the right size, the fastest plain use of zlib. A second line per size unpacks into a sink
// that drops the bytes, which shows what writing the files costs.
//
// The payload is made here: bytes that compress about like a program (some 2.7 : 1 at level
// 9, as the setup files are made), one large file and five smaller ones, written chunk by
// chunk into a temporary folder that is removed at the end. The note under the files line
// also gives the peak memory of a fresh process of this program unpacking the payload once:
// the reader streams, so that figure should not grow with the payload.
#include "bench/bench.h"
#include "setup/payload.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>
#include <zlib.h>

extern char** environ;

namespace kalvo::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int ChunkCount = 6;
// How the payload divides among the files: the program, then smaller ones.
constexpr double ChunkShare[ChunkCount] = {0.60, 0.20, 0.10, 0.05, 0.03, 0.02};

std::runtime_error SystemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

std::string PayloadPath(const std::string& folder) {
    return folder + "/payload.bin";
}

std::string TargetPath(const std::string& folder, int chunk) {
    return folder + "/file" + std::to_string(chunk + 1) + ".bin";
}

// A file descriptor that closes itself; Close reports what closing found.
class TFile {
public:
    TFile(const std::string& path, int flags) : path_(path), fd_(open(path.c_str(), flags, 0644)) {
        if (fd_ < 0)
            throw SystemError("cannot open " + path);
    }
    ~TFile() {
        if (fd_ >= 0)
            close(fd_);
    }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Up to `size` bytes; fewer only at the end of the file.
    std::size_t Read(std::uint8_t* buffer, std::size_t size) {
        std::size_t have = 0;
        while (have < size) {
            const ssize_t got = read(fd_, buffer + have, size - have);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw SystemError("cannot read " + path_);
            if (got == 0)
                break;
            have += std::size_t(got);
        }
        return have;
    }
    void Write(const std::uint8_t* data, std::size_t size) {
        while (size > 0) {
            const ssize_t done = write(fd_, data, size);
            if (done < 0 && errno == EINTR)
                continue;
            if (done < 0)
                throw SystemError("cannot write " + path_);
            data += done;
            size -= std::size_t(done);
        }
    }
    void WriteAt(const std::uint8_t* data, std::size_t size, std::uint64_t offset) {
        if (pwrite(fd_, data, size, off_t(offset)) != ssize_t(size))
            throw SystemError("cannot write " + path_);
    }
    void Close() {
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0)
            throw SystemError("cannot close " + path_);
    }

private:
    std::string path_;
    int fd_;
};

// The setup file as the setup program reads it: plain reads from the current position on.
class TFileSource : public TByteSource {
public:
    explicit TFileSource(const std::string& path) : file_(path, O_RDONLY | O_CLOEXEC) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
        return file_.Read(buffer, size);
    }

private:
    TFile file_;
};

// Removes the file at `path` if there is one; returns the path.
const std::string& Removed(const std::string& path) {
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        throw SystemError("cannot remove " + path);
    return path;
}

// A new target file, written as the reader hands out its bytes. A file of the same name is
// removed first, as after a run before: ext4 starts writing a file to disk when it is
// closed after being cut to nothing and written again, which would make the measurement
// that of the disk rather than of unpacking.
class TFileSink : public TByteSink {
public:
    explicit TFileSink(const std::string& path)
        : file_(Removed(path), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC) {}
    void Write(const std::uint8_t* data, std::size_t size) override { file_.Write(data, size); }
    void Close() { file_.Close(); }

private:
    TFile file_;
};

// Takes the bytes and drops them.
class TDroppingSink : public TByteSink {
public:
    void Write(const std::uint8_t* data, std::size_t size) override {
        Consume(data);
        bytes += size;
    }
    std::uint64_t bytes = 0;
};

std::uint64_t XorShift(std::uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

// Bytes that compress about like machine code: instructions from a fixed vocabulary used
// with very uneven frequency, operand bytes, addresses sharing their high bytes, idioms
// repeated with a change from a little earlier, padding. The same for the same seed.
class TProgramBytes {
public:
    explicit TProgramBytes(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15u + 1) {
        std::uint64_t word_state = 0x1234567;
        words_.resize(Vocabulary);
        for (std::vector<std::uint8_t>& word : words_) {
            word.resize(2 + XorShift(word_state) % 9);
            for (std::uint8_t& byte : word)
                byte = std::uint8_t(XorShift(word_state));
        }
    }

    // The next `size` bytes, valid until the next call.
    const std::uint8_t* Next(std::size_t size) {
        const std::size_t keep = std::min(have_, History);
        if (buffer_.size() < History + size)
            buffer_.resize(History + size);
        std::uint8_t* const out = buffer_.data();
        std::memmove(out, out + have_ - keep, keep);
        std::size_t at = keep;
        const std::size_t end = keep + size;
        while (at < end) {
            std::uint8_t element[64];
            std::size_t length = 0;
            std::uint64_t r = XorShift(state_);
            const unsigned kind = unsigned(r % 97);
            r >>= 12;
            if (kind < 55) { // an instruction
                const std::vector<std::uint8_t>& word =
                    words_[(r % Vocabulary) * ((r >> 12) % Vocabulary) / Vocabulary];
                length = word.size();
                std::memcpy(element, word.data(), length);
            } else if (kind < 75) { // an operand
                element[0] = std::uint8_t(r);
                length = 1;
            } else if (kind < 85) { // an address in the program's image
                element[0] = std::uint8_t(r);
                element[1] = std::uint8_t(r >> 8) & 0x1F;
                element[2] = 0x40;
                element[3] = 0x00;
                length = 4;
            } else if (kind < 95) { // an idiom seen shortly before, changed a little
                length = 16 + r % 48;
                const std::size_t back = length + (r >> 8) % 4096;
                if (back <= at) {
                    std::memcpy(element, out + at - back, length);
                    element[(r >> 20) % length] ^= std::uint8_t(r >> 30);
                } else {
                    length = 0;
                }
            } else { // padding
                length = 8 + r % 40;
                std::memset(element, 0, length);
            }
            const std::size_t count = std::min(length, end - at);
            std::memcpy(out + at, element, count);
            at += count;
        }
        have_ = end;
        return out + keep;
    }

private:
    static constexpr std::size_t Vocabulary = 2048;
    static constexpr std::size_t History = 8192;
    std::uint64_t state_;
    std::vector<std::vector<std::uint8_t>> words_;
    std::vector<std::uint8_t> buffer_; // what came before (up to History bytes), then the new
    std::size_t have_ = 0;
};

struct TChunk {
    std::uint64_t offset = 0; // of the length prefix in the payload file
    std::uint32_t length = 0; // of the zlib stream
    std::uint64_t size = 0;   // unpacked
    std::uint32_t crc = 0;    // of the unpacked bytes
};

class TDeflater {
public:
    TDeflater() {
        if (deflateInit(&stream_, 9) != Z_OK)
            throw std::runtime_error("deflateInit failed");
    }
    ~TDeflater() { deflateEnd(&stream_); }
    TDeflater(const TDeflater&) = delete;
    TDeflater& operator=(const TDeflater&) = delete;
    z_stream& get() { return stream_; }

private:
    z_stream stream_{};
};

// The peak resident memory of this process so far, in KiB.
long PeakResidentKiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        throw SystemError("cannot open /proc/self/status");
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1)
            break;
    std::fclose(status);
    if (kib < 0)
        throw std::runtime_error("no VmHWM in /proc/self/status");
    return kib;
}

// The size and CRC-32 of a file's bytes.
std::pair<std::uint64_t, std::uint32_t> SizeAndCrc(const std::string& path) {
    TFile file(path, O_RDONLY | O_CLOEXEC);
    std::vector<std::uint8_t> buffer(64 * 1024);
    std::uint64_t size = 0;
    uLong crc = crc32(0, Z_NULL, 0);
    while (const std::size_t got = file.Read(buffer.data(), buffer.size())) {
        crc = crc32(crc, buffer.data(), uInt(got));
        size += got;
    }
    return {size, std::uint32_t(crc)};
}

// In a fresh process: unpacks the payload file (the first argument) into the folder (the
// second) and prints the peak resident memory before and after in KiB, the seconds it took,
// then the size and CRC-32 of each file unpacked.
int UnpackChild(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2)
        throw std::runtime_error("expects the payload file and the target folder");
    TFileSource setup(arguments[0]);
    const long before = PeakResidentKiB();
    const auto start = Clock::now();
    for (int chunk = 0; chunk < ChunkCount; ++chunk) {
        TFileSink target(TargetPath(arguments[1], chunk));
        UnpackChunk(setup, target);
        target.Close();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long peak = PeakResidentKiB();
    std::printf("%ld %ld %.6f", before, peak, seconds);
    for (int chunk = 0; chunk < ChunkCount; ++chunk) {
        const auto [size, crc] = SizeAndCrc(TargetPath(arguments[1], chunk));
        std::printf(" %llu %lu", static_cast<unsigned long long>(size),
                    static_cast<unsigned long>(crc));
    }
    std::printf("\n");
    return 0;
}

RegisterChild unpack_child("payload-unpack", UnpackChild);

// Runs `kalvo_bench --child NAME ARGUMENTS...` from this program's own file and returns what
// it printed; throws when it fails.
std::string RunChild(const std::string& name, const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {"kalvo_bench", "--child", name};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0)
        throw SystemError("cannot make a pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    if (spawned != 0) {
        close(pipe_fds[0]);
        errno = spawned;
        throw SystemError("cannot start a child process");
    }
    std::string output;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(pipe_fds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        output.append(buffer, std::size_t(got));
    }
    close(pipe_fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the child process '" + name + "' failed");
    return output;
}

// One payload, made on first use, and the work measured on it.
class TPayload {
public:
    explicit TPayload(std::uint64_t total) : total_(total) {}
    ~TPayload() { Remove(); }
    TPayload(const TPayload&) = delete;
    TPayload& operator=(const TPayload&) = delete;

    // The reference: each stream inflated by one call into memory of its size.
    void InflateInMemory() {
        Load();
        for (int chunk = 0; chunk < ChunkCount; ++chunk) {
            const TChunk& info = chunks_[std::size_t(chunk)];
            std::vector<std::uint8_t>& target = inflated_[std::size_t(chunk)];
            z_stream stream{};
            if (inflateInit(&stream) != Z_OK)
                throw std::runtime_error("inflateInit failed");
            stream.next_in = compressed_.data() + info.offset + 4;
            stream.avail_in = info.length;
            stream.next_out = target.data();
            stream.avail_out = uInt(target.size());
            const int status = inflate(&stream, Z_FINISH);
            const uLong produced = stream.total_out;
            inflateEnd(&stream);
            if (status != Z_STREAM_END || produced != info.size)
                throw std::runtime_error("zlib could not inflate a chunk of the payload");
            Consume(target.data());
        }
        if (!inflated_checked_) {
            for (int chunk = 0; chunk < ChunkCount; ++chunk) {
                const std::vector<std::uint8_t>& bytes = inflated_[std::size_t(chunk)];
                if (crc32(crc32(0, Z_NULL, 0), bytes.data(), uInt(bytes.size())) !=
                    chunks_[std::size_t(chunk)].crc)
                    throw std::runtime_error("zlib inflated a chunk into other bytes than packed");
            }
            inflated_checked_ = true;
        }
    }

    void UnpackIntoFiles() {
        Make();
        TFileSource setup(PayloadPath(folder_));
        for (int chunk = 0; chunk < ChunkCount; ++chunk) {
            TFileSink target(TargetPath(folder_, chunk));
            if (UnpackChunk(setup, target) != chunks_[std::size_t(chunk)].size)
                throw std::runtime_error("UnpackChunk wrote a file of the wrong size");
            target.Close();
        }
    }

    void UnpackDropping() {
        Make();
        TFileSource setup(PayloadPath(folder_));
        for (int chunk = 0; chunk < ChunkCount; ++chunk) {
            TDroppingSink target;
            if (UnpackChunk(setup, target) != chunks_[std::size_t(chunk)].size ||
                target.bytes != chunks_[std::size_t(chunk)].size)
                throw std::runtime_error("UnpackChunk unpacked a chunk of the wrong size");
        }
    }

    // Times, and the memory of a fresh process unpacking the payload once (whose files are
    // checked against what was packed).
    std::string FilesNote(double reference, double body) {
        files_seconds_ = body;
        const std::string output = RunChild("payload-unpack", {PayloadPath(folder_), folder_});
        long before = 0;
        long peak = 0;
        double seconds = 0;
        int read = 0;
        if (std::sscanf(output.c_str(), "%ld %ld %lf%n", &before, &peak, &seconds, &read) != 3)
            throw std::runtime_error("the unpacking child printed '" + output + "'");
        const char* rest = output.c_str() + read;
        for (const TChunk& chunk : chunks_) {
            unsigned long long size = 0;
            unsigned long crc = 0;
            if (std::sscanf(rest, " %llu %lu%n", &size, &crc, &read) != 2 || size != chunk.size ||
                crc != chunk.crc)
                throw std::runtime_error("the unpacking child made files other than packed");
            rest += read;
        }
        char note[400];
        std::snprintf(note, sizeof note,
                      "%.1f MB packed in %.1f MB: inflate %.0f ms, unpacking into files %.0f ms, "
                      "%.2f of inflate's speed; a fresh process unpacking it once: peak "
                      "resident %.1f MB (%.1f MB before unpacking), %.0f ms",
                      double(total_) / 1e6, double(PayloadBytes()) / 1e6, reference * 1e3,
                      body * 1e3, reference / body, double(peak) / 1024, double(before) / 1024,
                      seconds * 1e3);
        return note;
    }

    std::string DroppingNote(double reference, double body) const {
        char note[300];
        const int length = std::snprintf(note, sizeof note,
                                         "inflate %.0f ms, unpacking without writing %.0f ms, "
                                         "%.2f of inflate's speed",
                                         reference * 1e3, body * 1e3, reference / body);
        // The two unpacking times are measured apart: a difference of a few percent is the
        // spread between runs, not writing.
        const double writing = files_seconds_ - body;
        if (files_seconds_ > 0 && length > 0 && std::size_t(length) < sizeof note) {
            if (writing > 0.03 * files_seconds_)
                std::snprintf(note + length, sizeof note - std::size_t(length),
                              "; writing the files is about %.0f ms of the %.0f ms unpacking "
                              "into files",
                              writing * 1e3, files_seconds_ * 1e3);
            else
                std::snprintf(note + length, sizeof note - std::size_t(length),
                              "; writing the files costs less than the spread between runs "
                              "(%.0f ms unpacking into files)",
                              files_seconds_ * 1e3);
        }
        return note;
    }

private:
    static constexpr std::size_t Piece = 1 << 20;

    std::uint64_t PayloadBytes() const {
        return chunks_.empty() ? 0 : chunks_.back().offset + 4 + chunks_.back().length;
    }

    // Writes the payload file into a new temporary folder, each chunk packed as it is made.
    void Make() {
        if (!chunks_.empty())
            return;
        if (!folder_.empty())
            throw std::runtime_error("the payload could not be made before");
        char folder[] = "/tmp/kalvo_bench_payload_XXXXXX";
        if (!mkdtemp(folder))
            throw SystemError("cannot make a temporary folder");
        folder_ = folder;
        TFile file(PayloadPath(folder_), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC);
        const auto out = std::make_unique<std::uint8_t[]>(Piece);
        std::vector<TChunk> chunks;
        std::uint64_t offset = 0;
        for (int chunk = 0; chunk < ChunkCount; ++chunk) {
            TChunk info;
            info.offset = offset;
            info.size = std::uint64_t(double(total_) * ChunkShare[chunk]);
            const std::uint8_t no_length[4] = {0, 0, 0, 0};
            file.Write(no_length, 4);
            TProgramBytes bytes(std::uint64_t(chunk) + 1);
            TDeflater deflater;
            z_stream& stream = deflater.get();
            uLong crc = crc32(0, Z_NULL, 0);
            std::uint64_t left = info.size;
            std::uint64_t packed = 0;
            do {
                const std::size_t piece = std::size_t(std::min<std::uint64_t>(left, Piece));
                const std::uint8_t* data = bytes.Next(piece);
                crc = crc32(crc, data, uInt(piece));
                left -= piece;
                stream.next_in = const_cast<std::uint8_t*>(data);
                stream.avail_in = uInt(piece);
                const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
                do {
                    stream.next_out = out.get();
                    stream.avail_out = uInt(Piece);
                    if (deflate(&stream, flush) == Z_STREAM_ERROR)
                        throw std::runtime_error("deflate failed");
                    const std::size_t produced = Piece - stream.avail_out;
                    file.Write(out.get(), produced);
                    packed += produced;
                } while (stream.avail_out == 0);
            } while (left > 0);
            if (packed > 0x7FFFFFFF)
                throw std::runtime_error("a chunk does not fit its length prefix");
            info.length = std::uint32_t(packed);
            info.crc = std::uint32_t(crc);
            const std::uint8_t length[4] = {std::uint8_t(packed), std::uint8_t(packed >> 8),
                                            std::uint8_t(packed >> 16), std::uint8_t(packed >> 24)};
            file.WriteAt(length, 4, offset);
            offset += 4 + packed;
            chunks.push_back(info);
        }
        file.Close();
        chunks_ = std::move(chunks);
    }

    // The payload in memory and room for what it unpacks to, for the reference.
    void Load() {
        Make();
        if (!compressed_.empty())
            return;
        compressed_.resize(PayloadBytes());
        TFile file(PayloadPath(folder_), O_RDONLY | O_CLOEXEC);
        if (file.Read(compressed_.data(), compressed_.size()) != compressed_.size())
            throw std::runtime_error("the payload file is shorter than written");
        for (const TChunk& chunk : chunks_)
            inflated_.emplace_back(chunk.size); // zeroed, so the pages are there before timing
    }

    void Remove() {
        if (folder_.empty())
            return;
        unlink(PayloadPath(folder_).c_str());
        for (int chunk = 0; chunk < ChunkCount; ++chunk)
            unlink(TargetPath(folder_, chunk).c_str());
        rmdir(folder_.c_str());
        folder_.clear();
    }

    std::uint64_t total_;
    std::string folder_;
    std::vector<TChunk> chunks_;
    std::vector<std::uint8_t> compressed_;
    std::vector<std::vector<std::uint8_t>> inflated_;
    bool inflated_checked_ = false;
    double files_seconds_ = 0;
};

bool RegisterPayload(int megabytes, bool only_when_named) {
    const auto payload = std::make_shared<TPayload>(std::uint64_t(megabytes) * 1000 * 1000);
    const std::string name = "payload " + std::to_string(megabytes) + " MB";
    const std::string reference = "zlib inflate into memory";
    Registry().push_back(
        {name + " into files", reference, [payload] { payload->InflateInMemory(); },
         [payload] { payload->UnpackIntoFiles(); },
         [payload](double r, double b) { return payload->FilesNote(r, b); }, only_when_named});
    Registry().push_back(
        {name + ", no writing", reference, [payload] { payload->InflateInMemory(); },
         [payload] { payload->UnpackDropping(); },
         [payload](double r, double b) { return payload->DroppingNote(r, b); }, only_when_named});
    return true;
}

[[maybe_unused]] const bool registered = RegisterPayload(20, false) && RegisterPayload(200, true);

} // namespace
} // namespace kalvo::bench

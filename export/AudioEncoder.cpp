#include "AudioEncoder.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "OggSerialNumber.h"

namespace rolvik {
namespace {

// The Ogg encoders draw their stream's serial number from one process-wide generator that is not
// safe to call from two threads at once; it is drawn at the open and where the headers are
// written, at the first write or, for a file without samples, at the close.
std::mutex oggStart;

// Any fixed number does: the file holds one stream.
constexpr std::uint32_t kOggSerialNumber = 0x526F6C76;

int SndfileFormat(AudioFormat format) {
    switch (format) {
        case AudioFormat::Wav:
            return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        case AudioFormat::Flac:
            return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        case AudioFormat::Ogg:
            return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        case AudioFormat::Opus:
            return SF_FORMAT_OGG | SF_FORMAT_OPUS;
        case AudioFormat::Mp3:
            return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    }
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

bool IsOgg(AudioFormat format) {
    return format == AudioFormat::Ogg || format == AudioFormat::Opus;
}

// A file in memory that libsndfile writes, seeks in and reads back its headers from.
struct MemoryFile {
    ByteVector bytes;
    sf_count_t position = 0;
};

sf_count_t Length(void* file) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(file)->bytes.size());
}

sf_count_t Seek(sf_count_t offset, int whence, void* file) {
    auto* memory = static_cast<MemoryFile*>(file);
    const sf_count_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? memory->position
                                                 : Length(file);
    memory->position = std::max<sf_count_t>(0, base + offset);
    return memory->position;
}

sf_count_t Read(void* destination, sf_count_t count, void* file) {
    auto* memory = static_cast<MemoryFile*>(file);
    const sf_count_t available = std::max<sf_count_t>(0, Length(file) - memory->position);
    const sf_count_t taken = std::min(count, available);
    std::memcpy(destination, memory->bytes.data() + memory->position,
                static_cast<std::size_t>(taken));
    memory->position += taken;
    return taken;
}

sf_count_t Write(const void* source, sf_count_t count, void* file) {
    auto* memory = static_cast<MemoryFile*>(file);
    const auto end = static_cast<std::size_t>(memory->position + count);
    if (memory->bytes.size() < end) {
        memory->bytes.resize(end);
    }
    std::memcpy(memory->bytes.data() + memory->position, source, static_cast<std::size_t>(count));
    memory->position += count;
    return count;
}

sf_count_t Tell(void* file) {
    return static_cast<MemoryFile*>(file)->position;
}

SF_VIRTUAL_IO kMemoryIo = {Length, Seek, Read, Write, Tell};

// Gives every Ogg page of an open file the fixed serial number; the file is compressed and small.
bool SetOggSerialNumberIn(int fd) {
    const off_t length = ::lseek(fd, 0, SEEK_END);
    ByteVector bytes(static_cast<std::size_t>(std::max<off_t>(0, length)));
    if (length < 0 || ::pread(fd, bytes.data(), bytes.size(), 0) != length) {
        return false;
    }
    SetOggSerialNumber(bytes, kOggSerialNumber);
    return ::pwrite(fd, bytes.data(), bytes.size(), 0) == length;
}

// ID3 as libsndfile writes it has no copyright frame; there the copyright joins the comments.
bool KeepsCopyright(AudioFormat format) {
    return format != AudioFormat::Mp3;
}

int StringType(AudioTagField field) {
    switch (field) {
        case AudioTagField::Title:
            return SF_STR_TITLE;
        case AudioTagField::Artist:
            return SF_STR_ARTIST;
        case AudioTagField::Copyright:
            return SF_STR_COPYRIGHT;
        case AudioTagField::Date:
            return SF_STR_DATE;
        case AudioTagField::Genre:
            return SF_STR_GENRE;
        case AudioTagField::Comment:
            return SF_STR_COMMENT;
    }
    return SF_STR_COMMENT;
}

void SetTags(SNDFILE* file, AudioFormat format, const std::vector<AudioTag>& tags) {
    std::string comment;
    for (const AudioTag& tag : tags) {
        if (tag.field == AudioTagField::Comment ||
            (tag.field == AudioTagField::Copyright && !KeepsCopyright(format))) {
            if (!comment.empty()) {
                comment += '\n';
            }
            if (tag.field == AudioTagField::Copyright) {
                comment += "Copyright: ";
            }
            comment += tag.value;
        } else {
            sf_set_string(file, StringType(tag.field), tag.value.c_str());
        }
    }
    if (!comment.empty()) {
        sf_set_string(file, SF_STR_COMMENT, comment.c_str());
    }
}

}  // namespace

struct AudioEncoder::State {
    AudioFormat format;
    MemoryFile memory;
    std::optional<int> descriptor;
    SNDFILE* file = nullptr;
    bool started = false;
};

AudioEncoder::AudioEncoder(std::unique_ptr<State> state) : state_(std::move(state)) {}

AudioEncoder::~AudioEncoder() {
    if (state_->file != nullptr) {
        sf_close(state_->file);
    }
}

std::unique_ptr<AudioEncoder> AudioEncoder::Open(AudioFormat format,
                                                 const std::vector<AudioTag>& tags,
                                                 int sampleRateHz, std::string& error,
                                                 std::optional<int> descriptor) {
    auto state = std::make_unique<State>();
    state->format = format;
    state->descriptor = descriptor;
    SF_INFO info{};
    info.samplerate = sampleRateHz;
    info.channels = 2;
    info.format = SndfileFormat(format);
    {
        std::unique_lock<std::mutex> lock(oggStart, std::defer_lock);
        if (IsOgg(format)) {
            lock.lock();
        }
        state->file = descriptor ? sf_open_fd(*descriptor, SFM_WRITE, &info, SF_FALSE)
                                 : sf_open_virtual(&kMemoryIo, SFM_WRITE, &info, &state->memory);
    }
    if (state->file == nullptr) {
        error = std::string("this system cannot write the format: ") + sf_strerror(nullptr);
        return nullptr;
    }
    sf_command(state->file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    SetTags(state->file, format, tags);
    return std::unique_ptr<AudioEncoder>(new AudioEncoder(std::move(state)));
}

bool AudioEncoder::Write(const float* interleaved, int frames, std::string& error) {
    std::unique_lock<std::mutex> lock(oggStart, std::defer_lock);
    if (!state_->started && IsOgg(state_->format)) {
        lock.lock();
    }
    state_->started = true;
    if (sf_writef_float(state_->file, interleaved, frames) != frames) {
        error = sf_strerror(state_->file);
        return false;
    }
    return true;
}

std::optional<ByteVector> AudioEncoder::Finish(std::string& error) {
    std::unique_lock<std::mutex> lock(oggStart, std::defer_lock);
    if (!state_->started && IsOgg(state_->format)) {
        lock.lock();
    }
    const int closed = sf_close(state_->file);
    state_->file = nullptr;
    if (closed != 0) {
        error = sf_error_number(closed);
        return std::nullopt;
    }
    if (IsOgg(state_->format)) {
        if (!state_->descriptor) {
            SetOggSerialNumber(state_->memory.bytes, kOggSerialNumber);
        } else if (!SetOggSerialNumberIn(*state_->descriptor)) {
            error = std::strerror(errno);
            return std::nullopt;
        }
    }
    return std::move(state_->memory.bytes);
}

}  // namespace rolvik

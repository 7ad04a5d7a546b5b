#include "adc/adc_controller.h"

#include <algorithm>
#include <climits>

#include "datafiles/data_files.h"
#include "board/epp_port.h"
#include "datafiles/file_io.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/numbers.h"
#include "interpreter/platform.h"
#include "interpreter/progress.h"

namespace kivo::adc {

using namespace interpreter;

namespace {

constexpr std::uint32_t kChannels = 8;
constexpr std::uint32_t kStartRegister = 8;
constexpr std::uint32_t kLengthRegister = 12;
constexpr std::uint8_t kReference1842 = 0x40;
constexpr std::uint8_t kZeroInput = 0x80;
constexpr std::size_t kCalibrationRecord = 2048;
// Polls of the word counter before calibshow reads the memory anyway: one first poll plus a
// million retries, like the port's block wait (board/epp_wire.h).
constexpr std::int32_t kMaxPolls = 1000001;
constexpr std::uint64_t kTwoPow31 = std::uint64_t{1} << 31;

struct BigEndian32 {
    std::uint8_t bytes[4];
    explicit BigEndian32(std::uint32_t value)
        : bytes{static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)} {}
};

std::uint32_t sampleAt(const std::uint8_t* record, std::size_t i) { return bytesValue(record + 2 * i, 2); }

}  // namespace

std::uint32_t recordMean(const std::uint8_t* record, std::size_t length) {
    const std::uint32_t n = static_cast<std::uint32_t>(length / 2);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += sampleAt(record, i);
    return (sum + n / 2) / n;
}

std::int32_t recordErr2(const std::uint8_t* record, std::size_t length, std::uint32_t mean) {
    const std::uint32_t n = static_cast<std::uint32_t>(length / 2);
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::int64_t d = std::int64_t{sampleAt(record, i)} - std::int64_t{mean};
        sum += static_cast<std::uint64_t>(d * d);
    }
    const auto remainder = static_cast<std::uint32_t>(sum % kTwoPow31);
    const auto overflows = static_cast<std::uint32_t>(sum / kTwoPow31);
    return static_cast<std::int32_t>(remainder / n + static_cast<std::uint32_t>(kTwoPow31 / n) * overflows);
}

AdcController::AdcController() : pause(platform::sleepMs) {}

void AdcController::setBaseAdr(std::uint32_t address) {
    if (address % 16 != 0) fail(Fail::AdcParameters);
    adcBaseAdr = address;
}

void AdcController::requireMemoryAndChannel(std::uint32_t channel) const {
    if (adcBaseAdr == kNotSet || !memorySet())
        failMessage(Fail::Message, "\nadres bazowy kontrolera ADC lub pamieci nie zostal ustawiony");
    if (channel >= kChannels) failMessage(Fail::Message, "\nNumer kanalu hest za duzy");
    // The core acquires whole 32-bit words: a shorter memory would take none and leave the
    // results to whatever the memory held before.
    if (memoryLength() < 4) failMessage(Fail::Message, "\npamiec akwizycji ADC krotsza niz jedno slowo (4 bajty)");
}

void AdcController::writeControl(board::EppPort& port, std::uint32_t channel, std::uint8_t control) {
    port.writeBlock(&control, adcBaseAdr + channel, 1);
}

void AdcController::calibrate(board::EppPort& port, std::uint32_t channel) {
    requireMemoryAndChannel(channel);
    // The memory holds at least one word, so every record has a whole sample.
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(memoryLength(), kCalibrationRecord));
    const BigEndian32 start(memBaseAdr);
    const BigEndian32 words(static_cast<std::uint32_t>(length / 4));
    std::uint8_t record[kCalibrationRecord];

    auto measure = [&](std::uint8_t control) {
        writeControl(port, channel, control);
        port.writeBlock(start.bytes, adcBaseAdr + kStartRegister, 4);
        pause(1);
        port.writeBlock(words.bytes, adcBaseAdr + kLengthRegister, 4);
        pause(1);
        // A read the link cuts short leaves zeros, not the last record: the same run prints
        // the same lines.
        std::fill_n(record, length, std::uint8_t{0});
        port.readBlock(memBaseAdr, static_cast<std::int32_t>(length), record);
        return recordMean(record, length);
    };

    console::flush();
    std::int64_t diff63 = 0;
    for (int sw = 63; sw >= 0; --sw) {
        auto control = static_cast<std::uint8_t>(sw | kReference1842);
        std::uint32_t ref = measure(control);
        std::uint32_t refmV = 1842;
        if (ref < 256) {
            control &= static_cast<std::uint8_t>(~kReference1842);
            ref = measure(control);
            refmV = 153;
        }
        control |= kZeroInput;
        const std::uint32_t zero = measure(control);
        const std::int32_t err2 = recordErr2(record, length, zero);
        // A zero reading below the reference has no gain to show: the difference would wrap.
        const std::int64_t diff = std::int64_t{zero} - std::int64_t{ref};
        if (sw == 63) diff63 = diff;

        console::print("sw=%X, wzmocn=", static_cast<unsigned>(sw));
        if (ref < 100) {
            console::print("za duze");
        } else if (diff <= 0 || diff63 <= 0) {
            // Zero and reference read alike (or the wrong way round): the input does not
            // respond, and there is no gain or range to divide out.
            console::print("nieokreslone");
        } else {
            std::uint32_t gain = static_cast<std::uint32_t>(diff) * 1000 / static_cast<std::uint32_t>(diff63);
            if (refmV < 1000) gain *= 10;
            const std::uint32_t range = refmV * 8192 / static_cast<std::uint32_t>(diff);
            console::print("%d[V/mV], zakres=+-%d[mV]", static_cast<std::int32_t>(gain),
                           static_cast<std::int32_t>(range));
        }
        console::print(", zero=%X, ref=%X, err2=%d\n", zero, ref, err2);
        console::flush();
    }
}

void AdcController::calibShow(board::EppPort& port, const std::string& file, std::uint32_t channel,
                              std::uint8_t control, bool append) {
    requireMemoryAndChannel(channel);
    // One transfer moves at most 2^31 - 1 bytes; no buffer could hold a larger memory anyway.
    if (memoryLength() > INT32_MAX) fail(Fail::OutOfMemory);
    const auto length = static_cast<std::int32_t>(memoryLength());
    const auto words = static_cast<std::uint32_t>(length / 4);
    const std::uint32_t threshold = words / 8;

    writeControl(port, channel, control);
    port.writeBlock(BigEndian32(memBaseAdr).bytes, adcBaseAdr + kStartRegister, 4);
    port.writeBlock(BigEndian32(words).bytes, adcBaseAdr + kLengthRegister, 4);

    std::uint32_t reference = words;
    for (std::int32_t poll = 0; poll < kMaxPolls; ++poll) {
        // A failed read counts as a finished acquisition rather than as garbage.
        std::uint8_t counter[4] = {};
        port.readBlock(adcBaseAdr, 4, counter);
        const std::uint32_t remaining = bytesValue(counter, 4);
        // A counter above the reference point has not gone down: no toggle (a garbled read
        // must not flip the input on every poll).
        if (remaining <= reference && reference - remaining >= threshold) {
            control ^= kZeroInput;
            writeControl(port, channel, control);
            reference = remaining;
        }
        if (remaining == 0) break;
    }

    datafiles::ByteBuffer record = datafiles::ByteBuffer::zeroed(static_cast<std::uint64_t>(length));
    {
        const interpreter::progress::Progress shown("adc_calibshow", static_cast<std::uint64_t>(length));
        port.readBlock(memBaseAdr, length, record.data());
    }
    datafiles::writeDataFile(file, record.data(), record.size(), append);
}

void AdcController::calibWave(board::EppPort& port, std::uint32_t channel, std::uint8_t control, std::int32_t time) {
    if (adcBaseAdr == kNotSet) failMessage(Fail::Message, "\nadres bazowy kontrolera ADC nie zostal ustawiony");
    if (channel >= kChannels) failMessage(Fail::Message, "\nNumer kanalu hest za duzy");
    console::flush();  // the wave may run until the program is stopped
    for (std::int32_t done = 0; time == 0 || done < time;) {
        writeControl(port, channel, control);
        control ^= kZeroInput;
        pause(1);
        if (interpreter::platform::stopRequested()) throw interpreter::ScriptStopped{};
        if (time != 0) ++done;
    }
}

}  // namespace kivo::adc

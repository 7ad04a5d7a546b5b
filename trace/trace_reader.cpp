#include "trace/trace_reader.h"

#include <cstdio>

#include "trace/trace_format.h"

namespace kivo::trace {

namespace {

std::string format(const char* pattern, unsigned long long a, unsigned long long b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

}  // namespace

bool TraceReader::stop(std::string message) {
    done_ = true;
    fault_ = std::move(message);
    return false;
}

bool TraceReader::operand(int& byte, std::uint8_t code, std::uint64_t at) {
    byte = trace_.get();
    if (byte >= 0) return true;
    if (trace_.failed()) return stop(format("blad odczytu sladu przy pozycji %llu", trace_.offset()));
    return stop(format("niepelny rekord %02llX na pozycji %llu", code, at));
}

bool TraceReader::next(Op& op) {
    if (done_) return false;
    const std::uint64_t at = trace_.offset();
    const int code = trace_.get();
    if (code < 0) {
        if (trace_.failed()) return stop(format("blad odczytu sladu przy pozycji %llu", at));
        return stop(format("brak znacznika konca sladu (koniec pliku na pozycji %llu)", at));
    }
    op = Op{};
    op.index = index_;
    op.offset = at;
    int b = 0;
    switch (code) {
    case kAddressRecord:
        op.kind = OpKind::Address;
        // One transfer is the records up to the fourth byte; a shorter one loads only its bytes.
        for (;;) {
            if (!operand(b, kAddressRecord, trace_.offset() - 1)) return false;
            const int shift = 8 * addressByte_;
            address_ = (address_ & ~(0xFFu << shift)) | (static_cast<std::uint32_t>(b) << shift);
            ++op.addressBytes;
            addressByte_ = (addressByte_ + 1) % 4;
            if (addressByte_ == 0 || trace_.peek() != kAddressRecord) break;
            trace_.get();
        }
        op.address = address_;
        break;
    case kWriteRecord:
    case kReadRecord:
        op.kind = code == kWriteRecord ? OpKind::Write : OpKind::Read;
        op.address = address_++;
        addressByte_ = 0;
        if (code == kWriteRecord) {
            if (!operand(b, kWriteRecord, at)) return false;
            op.value = static_cast<std::uint8_t>(b);
        } else if (responses_) {
            const int answer = responses_->get();
            if (answer < 0)
                return stop(format("odpowiedzi krotsze niz odczyty: brak odpowiedzi dla odczytu na pozycji "
                                   "%llu (odpowiedzi maja %llu bajtow)",
                                   at, responses_->offset()));
            op.value = static_cast<std::uint8_t>(answer);
            op.hasValue = true;
        }
        break;
    case kWaitRecord:
        op.kind = OpKind::Wait;
        if (!operand(b, kWaitRecord, at)) return false;
        op.value = static_cast<std::uint8_t>(b);
        break;
    case kWaitBitRecord: {
        op.kind = OpKind::WaitBit;
        std::uint8_t bytes[kWaitBitRecordSize - 1];
        for (auto& x : bytes) {
            if (!operand(b, kWaitBitRecord, at)) return false;
            x = static_cast<std::uint8_t>(b);
        }
        op.value = bytes[0];
        op.address = bytes[1] | bytes[2] << 8 | bytes[3] << 16 | static_cast<std::uint32_t>(bytes[4]) << 24;
        op.mask = bytes[5];
        break;
    }
    case kEndByte:
        for (std::size_t i = 1; i < kEndMarkSize; ++i) {
            if (!operand(b, kEndByte, at)) return false;
            if (b != kEndByte) return stop(format("niepelny znacznik konca na pozycji %llu", at));
        }
        if (trace_.peek() >= 0) return stop(format("dane za znacznikiem konca na pozycji %llu", trace_.offset()));
        op.kind = OpKind::End;
        done_ = true;
        break;
    default:
        return stop(format("nieznany kod rekordu %02llX na pozycji %llu", static_cast<unsigned>(code), at));
    }
    ++index_;
    return true;
}

}  // namespace kivo::trace

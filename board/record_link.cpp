#include "board/record_link.h"

#include <filesystem>
#include <system_error>

#include "datafiles/file_io.h"
#include "interpreter/errors.h"

namespace kivo::board {

RecordLink::RecordLink(const std::string& dir) {
    std::error_code ignored;  // a directory that cannot be made shows as a file that cannot be
    std::filesystem::create_directory(dir, ignored);
    const std::string traceName = dir + "/kivo.tst";
    const std::string responseName = dir + "/kivo.out";
    traceFile_ = datafiles::createReadWriteFile(traceName);
    if (!traceFile_) interpreter::fail(interpreter::Fail::FileOpen, traceName);
    responseFile_ = datafiles::createReadWriteFile(responseName);
    if (!responseFile_) {
        close();
        interpreter::fail(interpreter::Fail::FileOpen, responseName);
    }
    trace_ = trace::TraceWriter(traceFile_);
}

RecordLink::~RecordLink() { close(); }

void RecordLink::answered(const std::uint8_t* bytes, std::size_t count) {
    if (responseFile_) std::fwrite(bytes, 1, count, responseFile_);
}

bool RecordLink::sendAddress(std::uint32_t address) {
    trace_.address(address);
    return board_->sendAddress(address);
}

void RecordLink::writeByte(std::uint8_t value) {
    trace_.write(value);
    board_->writeByte(value);
}

int RecordLink::writeData(const std::uint8_t* buffer, std::size_t count) {
    // Every byte the script meant to write: the simulation gets them all, whatever the board
    // took.
    trace_.write(buffer, count);
    return board_->writeData(buffer, count);
}

std::uint8_t RecordLink::readData(bool& timeout) {
    const std::uint8_t value = board_->readData(timeout);
    trace_.reads(1);
    answered(&value, 1);
    return value;
}

void RecordLink::readBlock(std::uint8_t* buffer, std::size_t count) {
    // What the buffer holds afterwards is what the run went on with, also after a failed read.
    board_->readBlock(buffer, count);
    trace_.reads(count);
    answered(buffer, count);
}

void RecordLink::close() {
    trace_.end();
    if (traceFile_) std::fclose(traceFile_);
    if (responseFile_) std::fclose(responseFile_);
    traceFile_ = nullptr;
    responseFile_ = nullptr;
}

}  // namespace kivo::board

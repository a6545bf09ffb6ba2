// hidusb-bench: the control tool of the simulated device bench. It works on
// the bench files directly (through the bench code the device library is
// built from), so it runs beside a program that uses the library.
#pragma once

#include "BenchModel.h"
#include "DeviceImage.h"

#include <ostream>
#include <string>
#include <vector>

namespace bench {

using Args = std::vector<std::string>;

// Runs one command line (without the program name); returns the exit code:
// 0 done, 1 failed (unknown device, refused, file error), 2 bad usage.
int Run(const Args& args, std::ostream& out, std::ostream& err);

// ---- used between the tool's files ---------------------------------------
struct Failure {
    int code;
    std::string message;
};
[[noreturn]] void Fail(const std::string& message, int code = 1);
[[noreturn]] void Usage(const std::string& message);

// Index (1-based), id or path of a device of the bench.
int ResolveDevice(const hidusb::Bench& bench, const std::string& name);
// The mouse whose configuration a device stands for: itself or a
// receiver's paired mouse.
const hidusb::BenchDevice& ConfigDevice(const hidusb::Bench& bench, const hidusb::BenchDevice& device);

std::string ListLine(int index, const hidusb::BenchDevice& device);
// Prints one field group of an image (or "all"); false for an unknown field.
bool ShowField(std::ostream& out, const FlashDataMap& image, int profile, const std::string& field,
               const Args& extra);

int FirmwareCommand(const Args& args, std::ostream& out);
void PrintHelp(std::ostream& out);

}  // namespace bench

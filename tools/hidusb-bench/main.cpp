// hidusb-bench: see ToolHelp.cpp or run `hidusb-bench help`.
#include "Tool.h"

#include <iostream>

int main(int argc, char** argv)
{
    bench::Args args(argv + 1, argv + argc);
    int rc = bench::Run(args, std::cout, std::cerr);
    std::cout.flush();
    return rc;
}

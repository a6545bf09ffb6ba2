#include "Tool.h"

namespace bench {

void PrintHelp(std::ostream& out)
{
    out << R"HELP(hidusb-bench: control tool of the simulated device bench

usage: hidusb-bench [--bench DIR] COMMAND [ARGUMENTS]

The bench folder is --bench DIR, else $HIDUSB_BENCH, else
${XDG_STATE_HOME:-~/.local/state}/hidusb-bench. It is created with the
default bench (an 8 kHz receiver with its wireless mouse, both of model 1,
and a model-2 mouse on its cable) when first used. DEVICE is an index
(1 = first line of `list`), an id or a HID path. A receiver given where a
mouse is meant stands for its paired mouse.

Bench:
  path                          print the bench folder
  init [--force]                write the default bench (--force: replace
                                bench.ini, forget the devices' memory, the
                                event log and the call trace)
  list                          one line per device:
                                N id= path= vid= pid= kind= role= cid= mid=
                                plugged= online= boot= address= firmware=
                                usb_version= firmware_name= paired= battery=
                                charging= faults=
  add TYPE [KEY=VALUE...]       add a device; TYPE: mouse, wireless-mouse,
                                rx1k, rx2k, rx4k, rx8k; KEY: any bench.ini
                                device key (id, pid, mid, cid, kind, address,
                                paired, plugged, online, firmware, ...)
  remove DEVICE                 remove a device and its memory
  set DEVICE KEY=VALUE...       change bench.ini device keys
  option KEY=VALUE...           pair_delay_ms=MS upgrade_step_ms=MS trace=on|off
                                (trace: the library logs its calls to calls.log)
  plug DEVICE | unplug DEVICE   attach to or remove from the USB bus
  online DEVICE | offline DEVICE
                                the device answers or not (a receiver: its
                                mouse is in reach or not)
  boot DEVICE on|off            boot mode (waits for a firmware image)
  firmware DEVICE VERSION       set the firmware version (1.5, v1.a, 0x0105)
  pair RECEIVER MOUSE           pair a mouse with a receiver
  fault DEVICE silent-id K      answer CID 0 / MID 0 to the next K identity
                                queries of each program
  fault DEVICE refuse-writes on|off
  fault DEVICE upgrade-fail PERCENT|off
                                upgrades fail on reaching PERCENT (0..100)
  fault DEVICE pair-fail on|off pairing through this receiver fails
  fault DEVICE clear            no faults

Device side (an open link of a running program gets the reports):
  dpi-button DEVICE             next DPI stage; status change [0]
                                prints: dpi-current: N
  light-button DEVICE           next light mode (0..6); status change [5]
  profile DEVICE N              switch to profile N (1..4); status change [2]
  battery DEVICE LEVEL [charging]
                                battery level 0..100; status change [6]
  status DEVICE FLAG...         status change with flags 0..6
  reset DEVICE                  factory reset; model-defaults report
  dongle-light RECEIVER MODE    receiver light mode; receiver light report
  long-range RECEIVER on|off    long-range mode; long-range report

Device memory (the current profile of the mouse):
  show DEVICE [FIELD]           FIELD: all (default), profile, rate, dpi,
                                debounce, sleep, lift-off, sensor, lighting,
                                keys, key-events, macros, bytes OFFSET [COUNT]
                                lines: "report-rate: 1000 Hz",
                                "dpi-stages: 6", "dpi-current: 2",
                                "dpi 1: 400 colour 255,0,0 (x 8, y 8, flags 0x00)"
                                (DPI = code x 50, doubled for flags 0x22 and
                                for 0x11, as the sensors' register tables say),
                                "debounce: 8", "sleep: 60 s (6)",
                                "lift-off: 1 (1 mm)",
                                "light: mode 1 colour 255,128,0 speed 4 brightness 9 on 1",
                                "move-light-off: 0",
                                "dpi-light: mode 1 brightness 128 speed 3 on 1",
                                "key 1: 1,1,0 mouse button left",
                                "key-events 5: 2 events: press consumer 0x00CD 10 ms, ...",
                                "macro 1: \"name\" 3 events" then
                                "  1: press key 0x0004 10 ms"
                                bytes: hexadecimal image bytes ("0A FF")
  export DEVICE FILE            write the 10428-byte configuration image
  import DEVICE FILE            store a 10428-byte image (refused whole when
                                the device cannot hold it)

Firmware images:
  make-firmware FILE type=mouse|receiver name=NAME [cid=24] [mid=1]
                [version=1.5] [size=4096] [description=TEXT]
  make-firmware-set DIR [version=1.5]
                                the sample images of both models: the mouse and
                                the four receivers
  firmware-info FILE            print and check an image header

Exit status: 0 done, 1 failed (unknown device, refused, file error),
2 bad usage.
)HELP";
}

}  // namespace bench

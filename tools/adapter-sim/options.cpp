// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "options.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <set>
#include <vector>

namespace sim {

namespace {

constexpr std::uint64_t maxMs = 86400000; // a day is far beyond any sensible test run
constexpr std::uint64_t maxRate = 100000000;
constexpr std::uint64_t maxWriteSize = 4096;
constexpr std::uint64_t maxFloodMs = 3600000; // keeps the flood arithmetic inside 64 bits
constexpr const char *milliseconds = "milliseconds, 0 to 86400000";

bool parseInteger(const std::string &text, std::uint64_t max, std::uint64_t &value)
{
    if (text.empty() || text.size() > 12)
        return false;
    value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        value = value * 10 + std::uint64_t(c - '0');
    }
    return value <= max;
}

// Seconds with at most three decimals, returned as whole milliseconds, so that the flood's
// byte count is exact rather than the result of rounding a float.
bool parseSeconds(const std::string &text, std::uint64_t &ms)
{
    const std::size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    if (dot != std::string::npos && (fraction.empty() || fraction.size() > 3))
        return false;
    std::uint64_t seconds = 0;
    std::uint64_t thousandths = 0;
    fraction.resize(3, '0');
    if (!parseInteger(whole, maxFloodMs / 1000, seconds)
        || !parseInteger(fraction, 999, thousandths))
        return false;
    ms = seconds * 1000 + thousandths;
    return ms > 0 && ms <= maxFloodMs;
}

bool parseStart(const std::string &text, Options::Start &start)
{
    if (text == "open")
        start = Options::Start::Open;
    else if (text == "byte")
        start = Options::Start::Byte;
    else if (text == "now")
        start = Options::Start::Now;
    else
        return false;
    return true;
}

// One option: how getopt_long knows it, what it sets, and its entry in --help.
struct Entry
{
    const char *name;
    char letter; // its short form, or 0
    const char *value; // the value's name in --help, or nullptr for an option without one
    const char *expected; // what a valid value looks like, for the error message
    bool (*apply)(Options &options, const std::string &value);
    const char *help; // every line after the first is indented to the help column
};

// The one list of the options; --help shows them in this order.
const Entry optionTable[] = {
    {"help", 'h', nullptr, nullptr, [](Options &o, const std::string &) { return o.help = true; },
        "Show this text and exit."},
    {"flood", 0, "RATE", "bytes per second, 1 to 100000000",
        [](Options &o, const std::string &v) {
            return parseInteger(v, maxRate, o.floodRate) && o.floodRate > 0;
        },
        "Write a pseudo-random byte stream at RATE bytes/s (1..100000000).\n"
        "Byte k is the low 8 bits of the k-th xorshift32 value (shifts 13,\n"
        "17, 5, seed 1: 21 01 C5 4F ...). Every 2 ms the bytes due by the\n"
        "monotonic clock are written, so the average rate is exact. Bytes the\n"
        "other side does not take in time stay queued; none is dropped or\n"
        "reordered. Needs --seconds."},
    {"seconds", 0, "S", "seconds above 0 and up to 3600, at most three decimals",
        [](Options &o, const std::string &v) { return parseSeconds(v, o.floodMs); },
        "Duration of the flood, above 0 up to 3600, at most three decimals;\n"
        "the stream is RATE*S bytes (rounded down)."},
    {"write-size", 0, "N", "bytes, 1 to 4096",
        [](Options &o, const std::string &v) {
            return parseInteger(v, maxWriteSize, o.writeSize) && o.writeSize > 0;
        },
        "Write the flood N bytes at a time (1..4096), each write as soon as\n"
        "its last byte is due, rather than every 2 ms; the last write may be\n"
        "shorter."},
    {"start", 0, "WHEN", "open, byte or now",
        [](Options &o, const std::string &v) { return parseStart(v, o.start); },
        "When the --flood and --vanish-after clocks start:\n"
        "  open  when another process opens the device (default; inotify).\n"
        "        The flood begins right after that open, so a terminal\n"
        "        that flushes its input after opening loses the first\n"
        "        bytes; use byte or --delay for such a terminal.\n"
        "  byte  when the first byte arrives from the terminal\n"
        "  now   at once; bytes the line cannot take before the terminal\n"
        "        reads stay queued, but a flush on opening discards some"},
    {"wait-byte", 0, nullptr, nullptr,
        [](Options &o, const std::string &) { return parseStart("byte", o.start); },
        "Same as --start byte."},
    {"delay", 0, "MS", milliseconds,
        [](Options &o, const std::string &v) { return parseInteger(v, maxMs, o.delayMs); },
        "Wait MS more milliseconds after the start before flooding (default 0)."},
    {"vanish-after", 0, "MS", milliseconds,
        [](Options &o, const std::string &v) {
            std::uint64_t ms = 0;
            if (!parseInteger(v, maxMs, ms))
                return false;
            o.vanishAfterMs = std::int64_t(ms);
            return true;
        },
        "MS milliseconds after the start, close both sides of the\n"
        "pseudo-terminal like a pulled cable (the device node disappears, the\n"
        "terminal's reads see end of file and its writes fail with EIO),\n"
        "print VANISHED and exit 0."},
    {"frame-timeout", 0, "MS", milliseconds,
        [](Options &o, const std::string &v) { return parseInteger(v, maxMs, o.frameTimeoutMs); },
        "Give up an incomplete frame when MS milliseconds have passed since\n"
        "the last byte arrived (default 0: wait forever)."},
    {"drain-timeout", 0, "MS", milliseconds,
        [](Options &o, const std::string &v) { return parseInteger(v, maxMs, o.drainTimeoutMs); },
        "How long the flood may stand still, the other side reading nothing,\n"
        "before it is given up (default 10000)."},
    {"stamp", 0, nullptr, nullptr, [](Options &o, const std::string &) { return o.stamp = true; },
        "Add timestamps for latency measurements, in nanoseconds of\n"
        "CLOCK_MONOTONIC (one clock for all processes of the machine):\n"
        "every event line above ends in \" t=<ns>\", taken as it is printed\n"
        "(right after the read that completed it, or when a held frame is\n"
        "given up), and every write to the line is reported, right after it\n"
        "returned, as\n"
        "  WROTE <ns> <offset> <count>\n"
        "offset = bytes written before this write (so a flood's byte k is at\n"
        "offset k), count = bytes this write took. FLOOD and VANISHED lines\n"
        "are unchanged."},
};

// getopt_long reports a long option by its index in the table plus this, a short one by its
// letter.
constexpr int firstLongId = 256;

const Entry &entryFor(int id)
{
    if (id >= firstLongId)
        return optionTable[id - firstLongId];
    return *std::find_if(std::begin(optionTable), std::end(optionTable),
        [id](const Entry &entry) { return entry.letter == id; });
}

const char usageHead[] = R"(Usage: adapter-sim [options]

Simulated USB-CAN adapter on a pseudo-terminal, for testing the terminal without hardware.

The first stdout line is the path of the serial device to open (the slave side of a
pseudo-terminal, already in raw mode; the simulator keeps its own descriptor on it open, so
settings persist and the port survives the terminal closing and reopening it). Every further
line is one event, flushed at once. Bytes written by the terminal are decoded as adapter
command frames:
  1C 05 LEN body CS   body = LEN-1 bytes starting with the type, CS = XOR of LEN and body
  type 00, standard send:  00 msg id id n data[n]        LEN = n+6, n = 1..8
  type 02, extended send:  02 msg id id id id n data[n]  LEN = n+8, n = 1..8
  type 80, echo:           80 01                         LEN = 3

Event lines (hex upper case, bytes separated by single blanks, identifier bytes in frame
order, n in decimal):
  SEND STD msg=00 id=23 01 n=2 data=11 22
  SEND EXT msg=00 id=78 56 34 12 n=1 data=FF
  ECHO                           the echo command; its six bytes are written back
  BAD_CHECKSUM frame=<bytes>     CS does not match; the frame is framed by its LEN
  BAD_LENGTH frame=<bytes>       LEN impossible:
                                   LEN 0 or 1: frame = 1C 05 LEN, decoding resumes behind it
                                   LEN outside the range of a known type (00: 7..14,
                                   02: 9..16, 80: 3): frame = 1C 05 LEN type, decoding
                                   resumes behind it, so the rest shows up as GARBAGE
                                   checksum right but n disagrees with LEN: the whole frame
  BAD_ECHO frame=<bytes>         type 80, LEN 3, checksum right, body byte not 01; no answer
  UNKNOWN_TYPE type=55 frame=<bytes>  checksum right, type not 00, 02 or 80; framed by LEN
  GARBAGE bytes=<bytes>          bytes that belong to no frame; one line per run of them
                                 within one read, printed as soon as they are known to be
                                 garbage (a trailing 1C waits for the next byte)
  FLOOD total=<count> fnv1a=<8 hex digits>   end of --flood, see below
  VANISHED                       end of --vanish-after, see below
Checks run in this order: header, LEN against the type, then (once all LEN+3 bytes are in)
checksum, then n against LEN. Nothing but a valid echo command is answered.

An incomplete frame is held until its remaining bytes arrive, however long that takes,
unless --frame-timeout is given. When the simulator stops (signal, --vanish-after, end of
--flood) or the frame timeout expires, the held bytes are given up: the held header is
reported as GARBAGE and decoding resumes at the byte after its 1C, so a complete frame
hidden behind a bogus LEN is still reported.

Options:
)";

const char usageTail[] = R"(
Flood details: while --flood is given nothing is answered, not even an echo, so the bytes on
the line are exactly the flood stream; events are still printed. When the flood's bytes have
all been written and the other side's input queue has stayed empty for 150 ms, the simulator
prints FLOOD with the number of bytes written and their 32-bit FNV-1a hash and exits 0; it
waits for the queue to empty because closing the pseudo-terminal would throw away what the
other side has not read yet. If the other side reads nothing for --drain-timeout (counted
from the flood's last byte being due at the earliest), it prints FLOOD with what was
written, explains on stderr and exits 1. With --vanish-after during a flood, FLOOD (bytes
written so far) comes right before VANISHED.

SIGTERM, SIGINT and SIGHUP end the simulator with exit code 0 after reporting held bytes
(and, during a flood, FLOOD with the bytes written so far). Closing the simulator closes the
pseudo-terminal, so the terminal sees the port vanish then as well.
Exit codes: 0 success, 1 runtime failure, 2 bad command line.
)";

constexpr std::size_t helpColumn = 24;

std::string optionHelp(const Entry &entry)
{
    std::string text = "  ";
    if (entry.letter)
        text += std::string {'-', entry.letter, ',', ' '};
    text += std::string("--") + entry.name;
    if (entry.value)
        text += std::string(" ") + entry.value;
    text.resize(helpColumn, ' ');
    for (const char *c = entry.help; *c; ++c) {
        text += *c;
        if (*c == '\n')
            text.append(helpColumn, ' ');
    }
    return text + '\n';
}

// What getopt_long could not take, worded as the simulator always has.
std::string rejected(int id, const char *argument)
{
    const std::string name(argument, std::strcspn(argument, "="));
    if (id == ':')
        return name + " needs a value";
    if (optopt >= firstLongId)
        return name + " takes no value";
    return "unknown option " + (optopt ? std::string {'-', char(optopt)} : name);
}

} // namespace

bool Options::parse(int argc, char *const *argv, std::string &error)
{
    std::vector<option> longOptions;
    std::string shortOptions = "+:"; // stop at the first operand; report missing values
    for (const Entry &entry : optionTable) {
        const int id = int(&entry - optionTable) + firstLongId;
        longOptions.push_back(
            {entry.name, entry.value ? required_argument : no_argument, nullptr, id});
        if (entry.letter)
            shortOptions += entry.letter;
    }
    longOptions.push_back({});

    std::set<std::string> given;
    opterr = 0;
    optind = 0; // glibc starts afresh, as a second parse in one process needs
    int id = 0;
    while (
        (id = getopt_long(argc, argv, shortOptions.c_str(), longOptions.data(), nullptr)) != -1) {
        if (id == ':' || id == '?') {
            error = rejected(id, argv[optind - 1]);
            return false;
        }
        const Entry &entry = entryFor(id);
        const std::string value = optarg ? optarg : "";
        if (!entry.apply(*this, value)) {
            error = "invalid value '" + value + "' for --" + entry.name + ": expected "
                + entry.expected;
            return false;
        }
        given.insert(entry.name);
    }
    if (optind < argc) {
        error = std::string("unexpected argument '") + argv[optind] + "'";
        return false;
    }

    if (help)
        return true;
    if (flooding() != (given.count("seconds") > 0)) {
        error = "--flood and --seconds must be given together";
        return false;
    }
    if (given.count("write-size") && !flooding()) {
        error = "--write-size only applies to --flood";
        return false;
    }
    if (given.count("delay") && !flooding()) {
        error = "--delay only applies to --flood";
        return false;
    }
    if ((given.count("start") || given.count("wait-byte")) && !flooding() && !vanishing()) {
        error = "--start and --wait-byte only apply to --flood and --vanish-after";
        return false;
    }
    return true;
}

std::string Options::usage()
{
    std::string text = usageHead;
    for (const Entry &entry : optionTable)
        text += optionHelp(entry);
    return text + usageTail;
}

} // namespace sim

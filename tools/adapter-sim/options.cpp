#include "options.h"

#include <cctype>
#include <vector>

namespace sim {

namespace {

constexpr std::uint64_t MaxMs = 86400000; // a day is far beyond any sensible test run
constexpr std::uint64_t MaxRate = 100000000;
constexpr std::uint64_t MaxFloodMs = 3600000; // keeps the flood arithmetic inside 64 bits

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
    if (!parseInteger(whole, MaxFloodMs / 1000, seconds)
        || !parseInteger(fraction, 999, thousandths))
        return false;
    ms = seconds * 1000 + thousandths;
    return ms > 0 && ms <= MaxFloodMs;
}

} // namespace

bool Options::parse(int argc, const char *const *argv, std::string &error)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    bool secondsGiven = false;
    bool startGiven = false;
    bool delayGiven = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        const std::size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        auto takeValue = [&]() {
            if (!hasValue) {
                if (i + 1 >= args.size()) {
                    error = name + " needs a value";
                    return false;
                }
                value = args[++i];
            }
            return true;
        };
        auto badValue = [&](const char *expected) {
            error = "invalid value '" + value + "' for " + name + ": expected " + expected;
            return false;
        };
        auto noValue = [&]() {
            if (hasValue) {
                error = name + " takes no value";
                return false;
            }
            return true;
        };

        std::uint64_t number = 0;
        if (name == "-h" || name == "--help") {
            if (!noValue())
                return false;
            help = true;
        } else if (name == "--flood") {
            if (!takeValue())
                return false;
            if (!parseInteger(value, MaxRate, number) || number == 0)
                return badValue("bytes per second, 1 to 100000000");
            floodRate = number;
        } else if (name == "--seconds") {
            if (!takeValue())
                return false;
            if (!parseSeconds(value, floodMs))
                return badValue("seconds above 0 and up to 3600, at most three decimals");
            secondsGiven = true;
        } else if (name == "--start") {
            if (!takeValue())
                return false;
            if (value == "open")
                start = Start::Open;
            else if (value == "byte")
                start = Start::Byte;
            else if (value == "now")
                start = Start::Now;
            else
                return badValue("open, byte or now");
            startGiven = true;
        } else if (name == "--wait-byte") {
            if (!noValue())
                return false;
            start = Start::Byte;
            startGiven = true;
        } else if (name == "--delay") {
            if (!takeValue())
                return false;
            if (!parseInteger(value, MaxMs, delayMs))
                return badValue("milliseconds, 0 to 86400000");
            delayGiven = true;
        } else if (name == "--vanish-after") {
            if (!takeValue())
                return false;
            if (!parseInteger(value, MaxMs, number))
                return badValue("milliseconds, 0 to 86400000");
            vanishAfterMs = std::int64_t(number);
        } else if (name == "--frame-timeout") {
            if (!takeValue())
                return false;
            if (!parseInteger(value, MaxMs, frameTimeoutMs))
                return badValue("milliseconds, 0 to 86400000");
        } else if (name == "--drain-timeout") {
            if (!takeValue())
                return false;
            if (!parseInteger(value, MaxMs, drainTimeoutMs))
                return badValue("milliseconds, 0 to 86400000");
        } else if (name == "--stamp") {
            if (!noValue())
                return false;
            stamp = true;
        } else if (!name.empty() && name[0] == '-') {
            error = "unknown option " + name;
            return false;
        } else {
            error = "unexpected argument '" + name + "'";
            return false;
        }
    }

    if (help)
        return true;
    if (flooding() != secondsGiven) {
        error = "--flood and --seconds must be given together";
        return false;
    }
    if (delayGiven && !flooding()) {
        error = "--delay only applies to --flood";
        return false;
    }
    if (startGiven && !flooding() && !vanishing()) {
        error = "--start and --wait-byte only apply to --flood and --vanish-after";
        return false;
    }
    return true;
}

const char *Options::usage()
{
    return R"(Usage: adapter-sim [options]

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
  -h, --help            Show this text and exit.
  --flood RATE          Write a pseudo-random byte stream at RATE bytes/s (1..100000000).
                        Byte k is the low 8 bits of the k-th xorshift32 value (shifts 13,
                        17, 5, seed 1: 21 01 C5 4F ...). Every 2 ms the bytes due by the
                        monotonic clock are written, so the average rate is exact. Bytes the
                        other side does not take in time stay queued; none is dropped or
                        reordered. Needs --seconds.
  --seconds S           Duration of the flood, above 0 up to 3600, at most three decimals;
                        the stream is RATE*S bytes (rounded down).
  --start WHEN          When the --flood and --vanish-after clocks start:
                          open  when another process opens the device (default; inotify).
                                The flood begins right after that open, so a terminal
                                that flushes its input after opening loses the first
                                bytes; use byte or --delay for such a terminal.
                          byte  when the first byte arrives from the terminal
                          now   at once; bytes the line cannot take before the terminal
                                reads stay queued, but a flush on opening discards some
  --wait-byte           Same as --start byte.
  --delay MS            Wait MS more milliseconds after the start before flooding (default 0).
  --vanish-after MS     MS milliseconds after the start, close both sides of the
                        pseudo-terminal like a pulled cable (the device node disappears, the
                        terminal's reads see end of file and its writes fail with EIO),
                        print VANISHED and exit 0.
  --frame-timeout MS    Give up an incomplete frame when MS milliseconds have passed since
                        the last byte arrived (default 0: wait forever).
  --drain-timeout MS    How long, after the flood's last byte is due, to wait for the other
                        side to read everything (default 10000).
  --stamp               Add timestamps for latency measurements, in nanoseconds of
                        CLOCK_MONOTONIC (one clock for all processes of the machine):
                        every event line above ends in " t=<ns>", taken as it is printed
                        (right after the read that completed it, or when a held frame is
                        given up), and every write to the line is reported, right after it
                        returned, as
                          WROTE <ns> <offset> <count>
                        offset = bytes written before this write (so a flood's byte k is at
                        offset k), count = bytes this write took. FLOOD and VANISHED lines
                        are unchanged.

Flood details: while --flood is given nothing is answered, not even an echo, so the bytes on
the line are exactly the flood stream; events are still printed. When the flood's bytes have
all been written and the other side's input queue has stayed empty for 50 ms, the simulator
prints FLOOD with the number of bytes written and their 32-bit FNV-1a hash and exits 0; it
waits for the queue to empty because closing the pseudo-terminal would throw away what the
other side has not read yet. If that has not happened within --drain-timeout, it prints FLOOD
with what was written, explains on stderr and exits 1. With --vanish-after during a flood,
FLOOD (bytes written so far) comes right before VANISHED.

SIGTERM, SIGINT and SIGHUP end the simulator with exit code 0 after reporting held bytes
(and, during a flood, FLOOD with the bytes written so far). Closing the simulator closes the
pseudo-terminal, so the terminal sees the port vanish then as well.
Exit codes: 0 success, 1 runtime failure, 2 bad command line.
)";
}

} // namespace sim

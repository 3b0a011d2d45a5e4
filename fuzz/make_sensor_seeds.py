#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_sensor_answers into fuzz/corpus/sensor_answers/.

Each seed is the 5 setup bytes of fuzz_sensor_answers.cpp and a script of answers in
the form fake_link.h reads: answers that make the operation go through.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "sensor_answers")

# Operations, in the order of kOperations.
(CONNECT, GET, SEND, GO, CYCLE, SCOPE, CALDATA, OFFSETS, SELFCAL, AVERAGE, HARDWARE, TIMED, TRIGGERED, TEACHREC,
 BAUD, CALSEND, GOREQ, BREAK) = range(18)


def answer(data=b"", status=0, flags=0):
    return bytes([flags]) + struct.pack("<HH", status, len(data)) + data


def words(values):
    return b"".join(struct.pack("<H", v & 0xFFFF) for v in values)


PARAMETERS = words([500, 0, 1, 3, 10, 0, 1, 0, 0, 0, 0, 3200, 3300, 0, 0, 5, 1, 1, 0, 0])
TEACH = words([(r * 37 + c * 11) % 4096 for r in range(31) for c in range(8)])


def frame(i):
    return words([1000 + i, 2000 - i, 1500, 300, 310, 2500, 12 - i, i % 3, 1, i & 1, 40, 900, 950, 1000,
                  100, 200, 300, 400, 500, 600, 1, 2, 3])


def seed(name, op, flags, script, pre=20, rate=1, count=3):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(bytes([op, flags, pre, rate, count]) + script)


def main():
    os.makedirs(OUT, exist_ok=True)
    ident = answer(b"CHROMIK4 ANA SENSOR V1.0\0")
    blocks = answer(PARAMETERS) + answer(TEACH)
    for tcp in (0, 1):
        t = "_tcp" if tcp else ""
        seed("connect" + t, CONNECT, tcp, ident + blocks)
        seed("go" + t, GO, tcp, b"".join(answer(frame(i)) for i in range(4)))
        seed("go_pulled" + t, GO, tcp, answer(frame(0)) + answer(frame(1), flags=0x20) + answer(frame(2)))
        seed("triggered_pulled" + t, TRIGGERED, tcp, answer() + answer(frame(0), flags=0x20) + answer())
        scope_blocks = b"".join(answer(words([(b * 300 + i * 7) % 4096 for i in range(128)] + [5 + b]))
                                for b in range(4))
        seed("scope_rising" + t, SCOPE, tcp | (1 << 4), answer() + scope_blocks)
        seed("triggered" + t, TRIGGERED, tcp, answer() + b"".join(answer(frame(i)) for i in range(3)) + answer())
    seed("get_eeprom", GET, 0x02, answer() + blocks)
    seed("get_set1", GET, 0x04, blocks)
    seed("send_plausibility", SEND, 0x02, answer(status=2) + answer() + answer())
    seed("cycle_time", CYCLE, 0, answer(struct.pack("<ii", 123456, 100)))
    seed("cycle_time_zero", CYCLE, 1, answer(struct.pack("<ii", 5, 0)))
    seed("scope_single", SCOPE, 0, answer() + b"".join(answer(words(list(range(128)) + [17])) for _ in range(4)))
    seed("calibration", CALDATA, 0, answer(words([1024, 1030, 990, 5, 6, 7])))
    seed("offsets", OFFSETS, 1, answer() + answer(words([1024, 1030, 990, 5, 6, 7])))
    seed("self_calibration", SELFCAL, 0, answer(words([1000, 1010, 1020, 2048, 800])))
    seed("average", AVERAGE, 0, b"".join(answer(frame(i)) for i in range(6)))
    seed("hardware", HARDWARE, 0, blocks + answer(words([1024, 1024, 1024, 0, 0, 0])) +
         answer(words(range(0, 65536, 256))))
    seed("timed_counted", TIMED, 0, b"".join(answer(frame(i)) for i in range(3)), count=3)
    seed("timed_continuous", TIMED, 0x81, b"".join(answer(frame(i)) for i in range(3)))
    seed("teach_recording", TEACHREC, 0, b"".join(answer(frame(i)) for i in range(4)))
    seed("baudrate", BAUD, 0, answer() + ident + blocks)
    seed("send_calibration", CALSEND, 0, answer(status=1) + answer())
    seed("go_requests", GOREQ, 0, answer() + answer() + blocks + answer(frame(0)))
    seed("status_invalid", GO, 0, answer(status=1, flags=1))
    seed("break", BREAK, 0, answer())


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Writes the fuzzer's seed corpus into fuzz/corpus/.

Usage: fuzz/make_corpus.py [--mkpayload PATH]

The seeds are payloads against the harness's fixed input (fixed_input.h; the
formula is repeated here). Well-formed ones are built from known edits, and
with --mkpayload also by the payload maker from old/new pairs; the damaged
ones break one rule each, so that the fuzzer starts next to every refusal
path of the job. Run it again after changing the fixed input; the corpus is
committed so that a fuzz session needs neither this script nor the maker.
"""

import argparse
import bz2
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")
INPUT_SIZE = 4096


def fixed_input():
    data = bytearray(INPUT_SIZE)
    state = 0x54617672
    for i in range(INPUT_SIZE):
        state = (state * 1103515245 + 12345) & 0xFFFFFFFF
        data[i] = (state >> 16) & 0xFF
    for i in range(2048, 2560):
        data[i] = data[i - 1024]
    return bytes(data)


OLD = fixed_input()


def i32(value):
    return struct.pack("<i", value)


def header(ctrl, data, extra, newsize, oldsize=INPUT_SIZE, oldmd5=None):
    import hashlib

    digest = oldmd5 if oldmd5 is not None else hashlib.md5(OLD).digest()
    return i32(ctrl) + i32(data) + i32(extra) + i32(newsize) + i32(oldsize) + digest


def compress(raw, level=9):
    return bz2.compress(raw, compresslevel=level)


def records_bytes(records):
    return b"".join(i32(d) + i32(e) + i32(s) for d, e, s in records)


def payload(records, data_raw, extra_raw, newsize, level=9):
    """A payload from raw streams, with lengths that match the compressed ones."""
    c = compress(records_bytes(records), level)
    d = compress(data_raw, level)
    e = compress(extra_raw, level)
    return header(len(c), len(d), len(e), newsize) + c + d + e, (c, d, e)


def from_streams(c, d, e, newsize, sizes=None):
    ctrl, data, extra = sizes if sizes is not None else (len(c), len(d), len(e))
    return header(ctrl, data, extra, newsize) + c + d + e


def diff_against(old_pos, new_bytes):
    """Data-stream bytes that turn OLD[old_pos:] into new_bytes, outside bytes kept."""
    out = bytearray()
    for i, byte in enumerate(new_bytes):
        p = old_pos + i
        base = OLD[p] if 0 <= p < INPUT_SIZE else 0
        out.append((byte - base) & 0xFF)
    return bytes(out)


def edited_payload(segments):
    """segments: list of (old_pos, new_bytes_for_data_run, extra_bytes, next_old_pos)."""
    records, data_raw, extra_raw = [], b"", b""
    newsize = 0
    for old_pos, run, extra, next_pos in segments:
        data_raw += diff_against(old_pos, run)
        extra_raw += extra
        records.append((len(run), len(extra), next_pos - (old_pos + len(run))))
        newsize += len(run) + len(extra)
    return payload(records, data_raw, extra_raw, newsize)


def well_formed():
    seeds = {}
    # The input itself, one record, and the same as 1-byte-block streams.
    seeds["identity"], _ = payload([(INPUT_SIZE, 0, 0)], bytes(INPUT_SIZE), b"", INPUT_SIZE)
    seeds["identity_bzh1"], _ = payload(
        [(INPUT_SIZE, 0, 0)], bytes(INPUT_SIZE), b"", INPUT_SIZE, level=1)
    # Edits of a font-like shape: a changed stretch, an insertion, a moved
    # block (negative seek) and a tail that ends with a record without extra.
    changed = bytearray(OLD[0:1200])
    for i in range(100, 1200, 97):
        changed[i] ^= 0x5A
    seeds["edits"], edits_streams = edited_payload([
        (0, bytes(changed), b"glyf-inserted-table" * 3, 1500),
        (1500, OLD[1500:2600], b"", 100),
        (100, OLD[100:700], b"\x00\x01\x02\x03" * 8, 3000),
        (3000, OLD[3000:4096], b"", 4096),
    ])
    # Nothing to build: newsize 0 with empty streams.
    seeds["empty_output"], _ = payload([], b"", b"", 0)
    # Records that only move the old position, then runs that hang over both
    # ends of the input.
    seeds["moves_only"], _ = payload(
        [(0, 0, 3000), (0, 0, -2990), (64, 0, 0)], bytes(64), b"", 64)
    over = diff_against(-50, OLD[0:100]) + diff_against(4050, bytes(100))
    seeds["runs_outside_input"], _ = payload(
        [(100, 0, 4050 - 50), (100, 0, 0)], over, b"", 200)
    # Only extra bytes, no input used.
    seeds["extra_only"], _ = payload([(0, 300, 0)], b"", bytes(range(256)) + b"x" * 44, 300)
    return seeds, edits_streams


def damaged(edits_streams):
    c, d, e = edits_streams
    seeds = {}
    good_new = 1200 + 57 + 1100 + 600 + 32 + 1096

    def rec(records, data_raw=b"", extra_raw=b"", newsize=None):
        size = newsize if newsize is not None else sum(a + b for a, b, _ in records)
        return payload(records, data_raw, extra_raw, size)[0]

    seeds["negative_datalen"] = rec([(-5, 0, 0)], b"", b"", 10)
    seeds["negative_extralen"] = rec([(0, -1, 0)], b"", b"", 10)
    seeds["min_int_lengths"] = rec([(-2**31, -2**31, -2**31)], b"", b"", 10)
    seeds["datalen_past_newsize"] = rec([(200, 0, 0)], bytes(200), b"", 100)
    seeds["extralen_past_newsize"] = rec([(50, 80, 0)], bytes(50), bytes(80), 100)
    seeds["sum_past_newsize"] = rec([(60, 0, 0), (60, 0, 0)], bytes(120), b"", 100)
    seeds["huge_oldseek"] = rec(
        [(10, 0, 2**31 - 1), (10, 0, 2**31 - 1), (10, 0, 2**31 - 1), (10, 0, 0)],
        bytes(40), b"", 40)
    seeds["huge_negative_oldseek"] = rec(
        [(10, 0, -2**31), (10, 0, -2**31), (10, 0, -2**31), (10, 0, 0)], bytes(40), b"", 40)
    seeds["seek_to_last_byte"] = rec([(0, 0, INPUT_SIZE - 1), (4, 0, 0)], bytes(4), b"", 4)
    seeds["control_not_whole_records"] = from_streams(
        compress(records_bytes([(4, 0, 0)])[:-3]), compress(bytes(4)), compress(b""), 4)
    seeds["control_ends_early"] = rec([(10, 0, 0)], bytes(10), b"", 100)
    seeds["data_short"] = rec([(100, 0, 0)], bytes(60), b"", 100)
    seeds["extra_short"] = rec([(0, 100, 0)], b"", bytes(60), 100)
    # Truncated streams: each cut in the middle, the header lengths matching
    # the cut, so a decoder runs on into the next stream or the end.
    seeds["truncated_control"] = from_streams(c[: len(c) // 2], d, e, good_new)
    seeds["truncated_data"] = from_streams(c, d[: len(d) // 2], e, good_new)
    seeds["truncated_extra"] = from_streams(c, d, e[: len(e) // 2], good_new)
    seeds["truncated_block"] = from_streams(c, d, e, good_new)[:-20]
    # Swapped streams.
    seeds["swapped_data_extra"] = from_streams(c, e, d, good_new)
    seeds["swapped_control_data"] = from_streams(d, c, e, good_new)
    # Lengths that do not describe the block.
    seeds["claims_more_than_block"] = from_streams(
        c, d, e, good_new, (len(c), len(d), len(e) + 100))
    seeds["claims_2gib"] = from_streams(c, d, e, good_new, (len(c), len(d), 2**31 - 1))
    seeds["negative_ctrlsize"] = from_streams(c, d, e, good_new, (-len(c), len(d), len(e)))
    seeds["negative_newsize"] = from_streams(c, d, e, -1)
    seeds["shifted_offsets"] = from_streams(c, d, e, good_new, (len(c) + 3, len(d) - 3, len(e)))
    seeds["header_only"] = header(0, 0, 0, 0)
    seeds["short_header"] = header(0, 0, 0, 0)[:30]
    seeds["data_not_bzip2"] = from_streams(c, b"not a bzip2 stream at all", e, good_new)
    # An extra stream followed by a second stream: the job reads only one.
    two = compress(b"A" * 16) + compress(b"B" * 16)
    seeds["two_extra_streams"] = from_streams(
        compress(records_bytes([(0, 32, 0)])), compress(b""), two, 32)
    # One flipped bit inside the control stream's compressed block.
    flipped = bytearray(c)
    flipped[len(flipped) // 2] ^= 0x10
    seeds["flipped_control_bit"] = from_streams(bytes(flipped), d, e, good_new)
    return seeds


def mkpayload_seeds(tool):
    """Real payloads from the payload maker, for a few derived new files."""
    changed = bytearray(OLD)
    for i in range(0, INPUT_SIZE, 211):
        changed[i] = (changed[i] + 7) & 0xFF
    pairs = {
        "maker_byte_changes": bytes(changed),
        "maker_insert_delete": OLD[:900] + b"cmap" * 40 + OLD[1400:3500] + OLD[200:600],
        "maker_grown": OLD + OLD[1000:3000] + bytes(500),
        "maker_shrunk": OLD[2000:3000],
    }
    seeds = {}
    with tempfile.TemporaryDirectory() as work:
        old_path = os.path.join(work, "old")
        with open(old_path, "wb") as f:
            f.write(OLD)
        for name, new in pairs.items():
            new_path = os.path.join(work, name + ".new")
            out_path = os.path.join(work, name + ".bin")
            with open(new_path, "wb") as f:
                f.write(new)
            subprocess.run([tool, old_path, new_path, out_path], check=True,
                           stdout=subprocess.DEVNULL)
            with open(out_path, "rb") as f:
                seeds[name] = f.read()
    return seeds


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mkpayload", help="payload maker for the real payloads")
    args = parser.parse_args()
    os.makedirs(CORPUS, exist_ok=True)
    seeds, edits_streams = well_formed()
    seeds.update(damaged(edits_streams))
    if args.mkpayload:
        seeds.update(mkpayload_seeds(args.mkpayload))
    for name, data in sorted(seeds.items()):
        with open(os.path.join(CORPUS, name), "wb") as f:
            f.write(data)
    print(f"{len(seeds)} seeds in {CORPUS}", file=sys.stderr)


if __name__ == "__main__":
    main()

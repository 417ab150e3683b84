#!/usr/bin/env python3
"""Takes a spectrum from Mirelda through its SCPI remote control with PyVISA.

Start Mirelda with remote control first, for example

    mirelda --remote 5025 --port COM11

then run

    python3 remote_spectrum.py --exposure 100 --output spectrum.csv

It sets the exposure, opens the port, takes a dark frame and a reference,
switches to transmittance, takes one frame and saves it as CSV: one line per
pixel (or wavelength) with the plotted value and the raw reading. With
--mode scope it skips the dark frame and the reference and saves the plain
spectrum. With --prompt it waits for Enter before the dark frame (block the
light) and before the reference (let it through).

Needs PyVISA and its pure-Python backend (Debian: python3-pyvisa,
python3-pyvisa-py; elsewhere: pip install pyvisa pyvisa-py).
"""

import argparse
import csv
import sys
import time

import pyvisa


class InstrumentError(RuntimeError):
    pass


def check_errors(instrument):
    """Raises InstrumentError with every error the program has queued."""
    errors = []
    while True:
        error = instrument.query("SYSTem:ERRor?")
        if error.startswith("0,"):
            break
        errors.append(error)
    if errors:
        raise InstrumentError("; ".join(errors))


def take_frame(instrument, timeout):
    """Asks for one frame and waits until it has been plotted."""
    before = int(instrument.query("FETCh:COUNt?"))
    instrument.write("INITiate")
    deadline = time.monotonic() + timeout
    while int(instrument.query("FETCh:COUNt?")) <= before:
        if time.monotonic() > deadline:
            check_errors(instrument)
            raise InstrumentError("no frame within %.0f s" % timeout)
        time.sleep(0.02)
    check_errors(instrument)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--resource", default="TCPIP::localhost::5025::SOCKET",
                        help="VISA resource of the program (default: %(default)s)")
    parser.add_argument("--exposure", default="100", help="exposure text sent to the device")
    parser.add_argument("--mode", choices=("transmittance", "scope"), default="transmittance")
    parser.add_argument("--output", default="spectrum.csv", help="CSV file to write")
    parser.add_argument("--prompt", action="store_true",
                        help="wait for Enter before the dark frame and before the reference")
    parser.add_argument("--timeout", type=float, default=10.0, help="seconds to wait for a frame")
    args = parser.parse_args()

    manager = pyvisa.ResourceManager("@py")
    instrument = manager.open_resource(args.resource, read_termination="\n", write_termination="\n",
                                       timeout=int(args.timeout * 1000))
    try:
        print(instrument.query("*IDN?"))
        instrument.write("*CLS")
        instrument.write('EXPosure "%s"' % args.exposure.replace('"', '""'))
        instrument.write("OPEN")
        check_errors(instrument)

        if args.mode == "transmittance":
            instrument.write("MODE SCOPe")
            if args.prompt:
                input("Block the light, then press Enter: ")
            take_frame(instrument, args.timeout)
            instrument.write("DARK")
            if args.prompt:
                input("Let the light through the blank, then press Enter: ")
            take_frame(instrument, args.timeout)
            instrument.write("REFerence")
            instrument.write("MODE TRANsmittance")
            check_errors(instrument)
            if args.prompt:
                input("Put the sample in, then press Enter: ")
        take_frame(instrument, args.timeout)

        # One line, so all four answers come from the same frame.
        count, x, y, raw = instrument.query(
            "FETCh:COUNt?;FETCh:WAVelength?;FETCh:SPECtrum?;FETCh:RAW?").split(";")
        check_errors(instrument)
    finally:
        instrument.close()

    with open(args.output, "w", newline="") as file:
        file.write("# frame: %s\n# mode: %s\n" % (count, args.mode))
        writer = csv.writer(file, lineterminator="\n")
        writer.writerow(("x", "value", "raw reading"))
        writer.writerows(zip(x.split(","), y.split(","), raw.split(",")))
    print("frame %s: %d points written to %s" % (count, len(raw.split(",")), args.output))


if __name__ == "__main__":
    try:
        main()
    except (InstrumentError, pyvisa.Error) as error:
        sys.exit("remote_spectrum: %s" % error)

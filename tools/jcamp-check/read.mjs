// Reads a JCAMP-DX file with jcampconverter, a reader written elsewhere,
// and prints what it found as JSON: title, units, first and last x, the
// point count and every point.
//
// jcampconverter (12.5) parses ##XYDATA, ##PEAK TABLE and ##DATA TABLE but
// has no branch for ##XYPOINTS, whose (XY..XY) data JCAMP-DX 4.24 writes
// exactly as a peak table's; it keeps the record's text unparsed. So the
// file is read twice: as it is, for the header and to see the XYPOINTS
// record there, and with that one label named PEAK TABLE, so that the
// reader's own (XY..XY) parser reads every number.
import { readFileSync } from 'node:fs';
import { convert } from 'jcampconverter';

const text = readFileSync(process.argv[2], 'utf8');
const asWritten = convert(text, { keepRecordsRegExp: /.*/ }).flatten[0];
const renamed = text.replace(/^##XYPOINTS=/m, '##PEAK TABLE=');
const spectrum = convert(renamed).flatten[0].spectra[0];

process.stdout.write(JSON.stringify({
  title: asWritten.title,
  jcampVersion: asWritten.jcampDX,
  xypoints: asWritten.info.XYPOINTS !== undefined,
  xUnits: spectrum.xUnits,
  yUnits: spectrum.yUnits,
  firstX: spectrum.firstX,
  lastX: spectrum.lastX,
  nbPoints: spectrum.nbPoints,
  x: spectrum.data.x,
  y: spectrum.data.y,
}));

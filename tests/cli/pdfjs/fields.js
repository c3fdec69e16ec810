// The form fields of a PDF's first page as pdf.js (Debian libjs-pdf) reads them, one line
// each: name, value (JSON) and whether the field has an appearance to draw.
//   node fields.js FILE.pdf
const pdfjs = require('/usr/share/javascript/pdf/build/pdf.js');
const fs = require('fs');

(async () => {
  const data = new Uint8Array(fs.readFileSync(process.argv[2]));
  const doc = await pdfjs.getDocument({data, disableFontFace: true, isEvalSupported: false}).promise;
  const page = await doc.getPage(1);
  for (const annotation of await page.getAnnotations()) {
    if (annotation.subtype !== 'Widget') continue;
    console.log([annotation.fieldName, JSON.stringify(annotation.fieldValue), annotation.hasAppearance].join('\t'));
  }
})().catch((error) => {
  console.error(error);
  process.exit(1);
});

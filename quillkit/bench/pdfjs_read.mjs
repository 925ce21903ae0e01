// Opens every PDF named on the command line with pdf.js, renders nothing but
// walks every page's operator list and text, and prints one line a file:
// "ok <pages> <characters>" or "FAIL <reason>". Exit code 1 if any failed.
// Run by readers.sh, which installs pdfjs-dist beside the build.
import { readFile } from "node:fs/promises";
import { createRequire } from "node:module";
import path from "node:path";

const require = createRequire(path.join(process.env.PDFJS_HOME || process.cwd(), "x.js"));
const pdfjs = await import(require.resolve("pdfjs-dist/legacy/build/pdf.mjs"));

let failed = 0;
for (const file of process.argv.slice(2)) {
  const warnings = [];
  try {
    const data = new Uint8Array(await readFile(file));
    const doc = await pdfjs.getDocument({ data, verbosity: Number(process.env.PDFJS_VERBOSITY || 0), useSystemFonts: false,
                                          password: process.env.PDF_PASSWORD || undefined }).promise;
    let chars = 0;
    for (let i = 1; i <= doc.numPages; i++) {
      const page = await doc.getPage(i);
      await page.getOperatorList();
      const text = await page.getTextContent();
      for (const item of text.items) chars += (item.str || "").length;
    }
    console.log(`ok ${doc.numPages} ${chars} ${file}`);
    await doc.destroy();
  } catch (e) {
    failed++;
    console.log(`FAIL ${file}: ${e && e.message ? e.message : e}`);
  }
}
process.exit(failed ? 1 : 0);

// Runs the Khronos glTF-Validator on one .gltf or .glb (with the buffer
// files beside it) and prints its report; exits 0 only when the report has
// no error and no warning.
//   node gltf_validate.js VALIDATOR_MODULE_DIR FILE
const fs = require('fs');
const path = require('path');
const validator = require(process.argv[2]);
const file = process.argv[3];

validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
  uri: path.basename(file),
  maxIssues: 0,
  writeTimestamp: false,
  externalResourceFunction: (uri) => new Promise((resolve, reject) => {
    try {
      resolve(new Uint8Array(fs.readFileSync(path.join(path.dirname(file), decodeURIComponent(uri)))));
    } catch (error) {
      reject(error.toString());
    }
  }),
}).then((report) => {
  console.log(JSON.stringify(report.issues, null, 1));
  process.exit(report.issues.numErrors + report.issues.numWarnings > 0 ? 1 : 0);
}, (error) => {
  console.error(error);
  process.exit(2);
});

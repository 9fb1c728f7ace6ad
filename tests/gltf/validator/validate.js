// Runs the Khronos glTF validator on each file named and fails (exit 1) when
// any of them has an error or a warning; informational notes are printed
// but pass. Usage: node validate.js FILE...
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validate(file) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
        uri: path.basename(file),
        maxIssues: 0,
    });
    const issues = report.issues;
    for (const m of issues.messages) {
        const kind = ['error', 'warning', 'info', 'hint'][m.severity];
        console.log(`${file}: ${kind}: ${m.code} ${m.pointer || ''} ${m.message}`);
    }
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ${issues.numInfos} infos, ` +
                `${issues.numHints} hints`);
    return issues.numErrors === 0 && issues.numWarnings === 0;
}

(async () => {
    const files = process.argv.slice(2);
    if (files.length === 0) {
        console.error('usage: node validate.js FILE...');
        process.exit(2);
    }
    let clean = true;
    for (const file of files) {
        try {
            if (!(await validate(file))) clean = false;
        } catch (e) {
            console.log(`${file}: error: the validator could not read it: ${e.message || e}`);
            clean = false;
        }
    }
    process.exit(clean ? 0 : 1);
})();

#pragma once

// Clean-up mode: removes a run's temporary folder once the launcher that made it has ended.

namespace pantrix {

// Deletes every file under folder whose full path contains identifier, then every folder whose
// path contains it and that is empty by then; returns the number of files and folders
// removed. A locked file is retried every 100 ms while the retry budget, shared by the whole
// clean-up, stays below 30 seconds. Links to other folders are removed, never entered.
// Refuses an identifier that is not a run identifier ("JX" + hexadecimal digits): an empty
// one would match every path.
int DeleteTree(const char* folder, const char* identifier);

}  // namespace pantrix

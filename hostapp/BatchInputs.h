// The inputs of a batch export and the file each is written to: scene
// files named one by one, and folders searched for every file of a
// loadable extension, each written to <output folder>/<its path below its
// folder argument>.txt with its own extension kept (box.obj.txt beside
// box.3ds.txt).
#pragma once

#include <string>
#include <vector>

struct BatchInput {
    std::string input;    // as found: the argument, or the argument joined with the path below it
    std::string output;   // absolute; unique within the batch
    std::string problem;  // why it cannot be exported at all (a missing file); empty when it can
};

// The inputs in argument order, each folder's files sorted by path.
// extensions: lower case with their dot, as LoadableExtensions answers.
std::vector<BatchInput> FindBatchInputs(const std::vector<std::string>& arguments, const std::string& outputFolder,
                                        const std::vector<std::string>& extensions);

// Whether the arguments make a batch: more than one, or a folder.
bool IsBatch(const std::vector<std::string>& arguments);

#pragma once
// A base and an add-on policy of about the same size whose rules and lists
// overlap by half, with the base's lists shuffled so the merge has to sort.
#include <cstddef>

#include "model/policy.h"

namespace devctl::bench {

struct MergeDocuments {
    Policy base;
    Policy addon;
};

// scale 1 gives roughly 20 MB of pretty JSON per document.
MergeDocuments make_merge_documents(double scale = 1.0);

}  // namespace devctl::bench

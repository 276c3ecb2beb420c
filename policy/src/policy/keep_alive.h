#pragma once
// Large results that a command is done with but need not free.
#include <memory>
#include <utility>
#include <vector>

namespace devctl {

// Holds objects until it is destroyed. The tool ends its process without
// destroying it: freeing a large policy piece by piece takes longer than the
// kernel takes to drop the whole process. Library calls made without one
// (from tests, say) destroy everything normally.
class KeepAlive {
public:
    // Moves value in; the reference stays valid as long as the holder.
    template <class T>
    T& hold(T value) {
        auto owned = std::make_shared<T>(std::move(value));
        T& kept = *owned;
        held_.push_back(std::move(owned));
        return kept;
    }

    // Destroys everything held so far.
    void clear() { held_.clear(); }

private:
    std::vector<std::shared_ptr<void>> held_;
};

}  // namespace devctl

#include "update/source_listing.h"

#include <memory>

namespace {

std::unique_ptr<C_source_listing> current;

}  // namespace

C_source_listing& source_listing()
{
    if (!current) current.reset(new C_source_listing);
    return *current;
}

void release_source_listing()
{
    current.reset();
}

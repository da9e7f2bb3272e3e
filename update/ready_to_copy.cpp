#include "update/destination_check.h"
#include "update/shipped_manifest.h"
#include "update/source_listing.h"
#include "update/update_sequence.h"

bool check_ready_to_copy()
{
    // The update's own files first: there is no point closing the game for a
    // damaged download.
    C_source_listing& listed = source_listing();
    const bool ready =
        check_shipped_files(listed.entries, listed.listings) && check_destination(listed.entries);
    release_source_listing();
    return ready;
}

#pragma once

// Every kind of finding that the checker and the maker report, one line each:
// its name in the code, its severity, and the stable code that --format=json
// gives it (the README lists them all; tests/check_finding_codes.sh holds the
// two to each other). A finding is made from its kind, so none goes without a
// code, and a new kind is one more line here.
#define UPDATE_FINDING_KINDS(KIND)                                  \
    /* The script as the updater reads it */                        \
    KIND(script_unreadable, error, "script-unreadable")             \
    KIND(script_byte_order_mark, error, "script-byte-order-mark")   \
    KIND(script_not_cp932, error, "script-not-cp932")               \
    KIND(script_stops_early, warning, "script-stops-early")         \
    KIND(line_ignored, warning, "line-ignored")                     \
    KIND(key_repeated, warning, "key-repeated")                     \
    KIND(text_after_value, warning, "text-after-value")             \
    KIND(value_missing, error, "value-missing")                     \
    KIND(reg_path_form, error, "reg-path-form")                     \
    /* The entries and what they copy */                            \
    KIND(source_folder_missing, error, "source-folder-missing")     \
    KIND(entry_empty, error, "entry-empty")                         \
    KIND(entry_outside, error, "entry-outside")                     \
    KIND(entry_missing, error, "entry-missing")                     \
    KIND(entry_in_work_folder, error, "entry-in-work-folder")       \
    KIND(entry_repeated, warning, "entry-repeated")                 \
    KIND(entry_covered, warning, "entry-covered")                   \
    KIND(entry_copies_nothing, warning, "entry-copies-nothing")     \
    KIND(engine_too_deep, error, "engine-too-deep")                 \
    KIND(file_not_copied, warning, "file-not-copied")               \
    KIND(file_unwanted, warning, "file-unwanted")                   \
    KIND(file_over_4gib, warning, "file-over-4gib")                 \
    /* The files the update removes */                              \
    KIND(delete_empty, error, "delete-empty")                       \
    KIND(delete_outside, error, "delete-outside")                   \
    KIND(delete_in_work_folder, error, "delete-in-work-folder")     \
    KIND(delete_copied, error, "delete-copied")                     \
    KIND(delete_shipped_folder, error, "delete-shipped-folder")     \
    KIND(delete_in_shipped_folder, warning, "delete-in-shipped-folder") \
    KIND(delete_repeated, warning, "delete-repeated")               \
    /* Names and paths, in gamedata and in NEW */                   \
    KIND(name_case_clash, error, "name-case-clash")                 \
    KIND(name_decomposed, error, "name-decomposed")                 \
    KIND(name_device, error, "name-device")                         \
    KIND(name_trimmed, error, "name-trimmed")                       \
    KIND(name_not_cp932, error, "name-not-cp932")                   \
    KIND(path_long, warning, "path-long")                           \
    /* The updater beside the script */                             \
    KIND(updater_missing, error, "updater-missing")                 \
    KIND(updater_version, warning, "updater-version")               \
    /* The manifest of the shipped files, update.sha256 */          \
    KIND(manifest_missing, warning, "manifest-missing")             \
    KIND(manifest_unreadable, error, "manifest-unreadable")         \
    KIND(manifest_not_written, error, "manifest-not-written")       \
    KIND(file_unlisted, error, "file-unlisted")                     \
    KIND(file_size_differs, error, "file-size-differs")             \
    KIND(file_damaged, error, "file-damaged")                       \
    KIND(file_listed_missing, error, "file-listed-missing")         \
    /* The maker: the releases */                                   \
    KIND(engine_missing, error, "engine-missing")                   \
    KIND(folder_unlisted, error, "folder-unlisted")                 \
    KIND(link_in_new, error, "link-in-new")                         \
    KIND(link_in_old, warning, "link-in-old")                       \
    KIND(file_unreadable, error, "file-unreadable")                 \
    KIND(blocked_by_old, error, "blocked-by-old")                   \
    KIND(nothing_to_ship, error, "nothing-to-ship")                 \
    KIND(engine_changes, warning, "engine-changes")                 \
    KIND(read_only_changed, warning, "read-only-changed")           \
    KIND(file_removed, warning, "file-removed")                     \
    KIND(file_kept, warning, "file-kept")                           \
    KIND(empty_folder, warning, "empty-folder")                     \
    KIND(exclude_unused, warning, "exclude-unused")                 \
    /* The maker: laying the update out */                          \
    KIND(copy_failed, error, "copy-failed")                         \
    KIND(script_not_written, error, "script-not-written")           \
    KIND(out_not_made, error, "out-not-made")

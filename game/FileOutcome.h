// What reading one of the player's own files (settings, records) found.
#pragma once

enum class FileOutcome {
    Loaded,   // the file was read and used
    Missing,  // no file yet: the defaults are used, nothing is reported
    Damaged,  // the file was refused, reported and moved aside: the defaults are used
};

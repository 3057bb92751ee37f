#pragma once

// Tags that name the tool in the archives made from its files.
namespace archiveTags {
inline const char* const Duplicates = "Duplicates";       // duplicate and large-file search
inline const char* const FileDates = "FileDates";         // files accessed
inline const char* const TempClean = "TempClean";         // quick clean
inline const char* const InternetCache = "InternetCache"; // internet cache cleanup
inline const char* const FolderClean = "FolderClean";     // folder deletion
// The browser passes an empty tag.
} // namespace archiveTags

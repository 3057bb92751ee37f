#pragma once

#include "app/grid.h"

#include <optional>

// The large-file grid that the file-hog and quick-clean windows show: its columns and its sorts.
namespace hoggrid {

// Columns of the large-file grid.
enum HogColumn { hcSize, hcModified, hcTime, hcAccess, hcFileName, hcType };

enum class SortCommand { Size, Date, AccessDate, Name, Type };

// The direction of each sort command, kept for the whole run: size, date and access date start
// descending, name and type ascending; each use reverses its command's direction.
struct SortDirections {
    SortDirection size{true};
    SortDirection date{true};
    SortDirection accessDate{true};
    SortDirection name{false};
    SortDirection type{false};

    SortDirection& of(SortCommand command);
};

// The command of a click on a header cell of the large-file grid; none for "Time".
std::optional<SortCommand> sortCommandForColumn(int column);

// Sorts rows 1 to the last of the large-file grid with the command's current direction, then
// reverses that direction.
void sortHogGrid(TextGrid& grid, SortCommand command, SortDirections& directions);

} // namespace hoggrid

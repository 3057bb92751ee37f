#include "app/hoggrid.h"

namespace hoggrid {

SortDirection& SortDirections::of(SortCommand command) {
    switch (command) {
    case SortCommand::Size:
        return size;
    case SortCommand::Date:
        return date;
    case SortCommand::AccessDate:
        return accessDate;
    case SortCommand::Name:
        return name;
    case SortCommand::Type:
        return type;
    }
    return size;
}

namespace {

// Each sort command: the column it sorts and how it reads the column's cells.
struct SortCommandColumn {
    SortCommand command;
    int column;
    GridSort sort;
};
const SortCommandColumn kSortCommands[] = {
    {SortCommand::Size, hcSize, SortGridByNumber},
    {SortCommand::Date, hcModified, SortGridByDate},
    {SortCommand::AccessDate, hcAccess, SortGridByDate},
    {SortCommand::Name, hcFileName, SortGridByText},
    {SortCommand::Type, hcType, SortGridByText},
};

} // namespace

std::optional<SortCommand> sortCommandForColumn(int column) {
    for (const SortCommandColumn& c : kSortCommands) {
        if (c.column == column)
            return c.command;
    }
    return std::nullopt;
}

void sortHogGrid(TextGrid& grid, SortCommand command, SortDirections& directions) {
    if (grid.rowCount() < 2)
        return;
    for (const SortCommandColumn& c : kSortCommands) {
        if (c.command == command)
            c.sort(grid, 1, grid.rowCount() - 1, c.column, directions.of(command).take());
    }
}

} // namespace hoggrid

#pragma once

// Tells the main window which tool windows the program has.
void registerTools();

// An automatic run has nobody to read a message box, and one that waits
// would hold the next evenings' runs too (the scheduler starts no second
// one while it runs): there an error that reaches the top-level handler is
// written to the run log, and the program ends at once with exit code 10.
// A run's work file left so is kept by the next run.
#pragma once

#include <functional>
#include <string>

// dataFolder gives the data folder whose run log takes the line, when an
// error comes.
void EndOnTopLevelErrors(std::function<std::string()> dataFolder);

// The commands of tvn.  Each takes the arguments after its own name, writes
// its result to standard output and its complaints to standard error, and
// returns the process's exit status.
#ifndef TENTARIA_TOOLS_TVN_COMMAND_H_
#define TENTARIA_TOOLS_TVN_COMMAND_H_

#include <string>
#include <vector>

namespace tentaria::tvn {

using Arguments = std::vector<std::string>;

// tvn eval [--type] EXPRESSION
int EvalCommand(const Arguments& arguments);
// tvn info FILE [--owner PASSWORD]
int InfoCommand(const Arguments& arguments);
// tvn schema FILE[\!TABLE] [--owner PASSWORD]
int SchemaCommand(const Arguments& arguments);
// tvn export FILE[\!TABLE] [--key NAME] [--owner PASSWORD]
int ExportCommand(const Arguments& arguments);
// tvn import FILE[\!TABLE] --decl DECLFILE [--owner PASSWORD] < rows.csv
int ImportCommand(const Arguments& arguments);
// tvn check FILE [--owner PASSWORD]
int CheckCommand(const Arguments& arguments);
// tvn query FILE[\!TABLE] [--owner PASSWORD] [--filter EXPRESSION]
//           [--order ORDERTEXT] [--key NAME] [--from VALUES] [--backward]
//           [--limit N] [--plan]
int QueryCommand(const Arguments& arguments);

}  // namespace tentaria::tvn

#endif  // TENTARIA_TOOLS_TVN_COMMAND_H_

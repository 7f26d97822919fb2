// Bound names: the built-in functions, the keyword operators and the
// variables and procedures that the program binds by name, in nested scopes.
//
// Each scope has its own table.  A name is looked up in the current scope,
// then (the built-in entries belong to every table) among the built-ins,
// then in the enclosing scopes outward for as long as the scope being left
// was pushed as inheriting.  Names compare without regard to case.  The
// tables are process-wide (ProcessNames()) and used by one thread at a time.
#ifndef TENTARIA_VIEWS_NAME_TABLE_H_
#define TENTARIA_VIEWS_NAME_TABLE_H_

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "views/expression_node.h"

namespace tentaria::views {

enum class EntryKind : std::uint8_t {
  kVariable = 1,
  kKeyword = 4,
  kFunction = 6,
};

struct NameEntry {
  std::string name;  // as bound
  EntryKind kind = EntryKind::kVariable;
  // kVariable
  BoundVariable variable;
  // kKeyword
  Op op = Op::kNot;
  // kFunction: a built-in code, or kProcedure with the procedure
  Fn function = Fn::kProcedure;
  int max_arguments = 0;
  ValueClass value_class = ValueClass::kInteger;  // variable class, function result
  std::shared_ptr<const BoundProcedure> procedure;
};

// A bound name is cut to this many characters.
inline constexpr size_t kMaxBoundNameLength = 100;
inline constexpr int kMaxCallArguments = 25;

// Run-time error for a pop without a matching push.
inline constexpr int kMismatchedScopeError = 802;

// The built-in function of this name, or nullptr.
const NameEntry* FindBuiltin(std::string_view name);

class NameScopes {
 public:
  NameScopes();

  // Binds a variable in the current scope, replacing an entry of the same
  // name there.  The name is cut to 100 characters and then at the first
  // character that is neither a letter, a digit, "_" nor ":" (a leading "?"
  // excepted), a "#", "$" or double quote there staying part of it.  False when nothing of the name
  // remains.
  bool Bind(std::string_view name, BoundVariable variable);
  // Binds a procedure of at most max_arguments arguments (up to 25) that
  // yields a value of the given class.
  bool BindProcedure(std::string_view name, int max_arguments, ValueClass result,
                     BoundProcedure procedure);

  // Starts a new, empty scope; with inherit false the names of the
  // enclosing scopes are hidden from it.
  void PushScope(bool inherit);
  // Discards the current scope with its entries.  Without a pushed scope
  // raises run-time error 802 and returns false.
  bool PopScope();
  int PushedScopes() const { return static_cast<int>(scopes_.size()) - 1; }

  const NameEntry* Lookup(std::string_view name) const;

 private:
  struct Scope {
    std::map<std::string, NameEntry, std::less<>> entries;  // by NameKey
    bool opaque = false;
  };

  bool Insert(NameEntry entry);

  std::vector<Scope> scopes_;
};

// The process-wide scopes.
NameScopes& ProcessNames();

// BIND as the runtime offers it: the name is popped from the process-wide
// string stack, then bound as NameScopes::Bind does.
bool BindFromStringStack(NameScopes& names, BoundVariable variable);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_NAME_TABLE_H_

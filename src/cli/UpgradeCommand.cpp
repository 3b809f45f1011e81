// upgrade: firmware upgrades of one or several adapters. The upgrade
// library is not part of this build yet; until it is, the command says so
// and changes nothing. Its place in the command table, its options and its
// help are final: the command plugs its work in here.

#include "Commands.h"

namespace commands {

int upgrade(Context &ctx)
{
    return ctx.output.fail(CliError::usage(
        QStringLiteral("not available yet: this build has no firmware upgrade; nothing was sent to any adapter")));
}

} // namespace commands

#pragma once
// Where a sweep or realtime block of any mode is aimed before its thread
// starts.

#include "config/config_current.h"
#include "link/link.h"

class command_target;

// Points a sweep block at the instrument (the link and the current
// configuration) and at the windows that own its questions and hear its
// commands.
template <class Context>
void sweep_aim_context(Context& ctx, command_target* owner, command_target* notify)
{
    ctx.owner = owner;
    ctx.notify = notify;
    ctx.link = &g_link;
    ctx.config = &config_current();
}

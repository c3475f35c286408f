#pragma once
// The sweep worker against a scripted instrument: the instrument's
// parameters, its data-available replies and its sweep reply lines, with
// recorders for what the worker posts and the boxes it shows.

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/ui_seam.h"
#include "config/config_current.h"
#include "fra/sweep_worker.h"
#include "link/link.h"
#include "sweep/sweep_core.h"
#include "sweep_peer.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <thread>

class command_recorder : public command_target {
public:
    void on_command(int id, intptr_t lparam) override
    {
        ids.push_back(id);
        if (id == CMD_PROGRESS_STATUS)
            texts.push_back(*reinterpret_cast<const std::string*>(lparam));
        if (id == CMD_PROGRESS_RANGE)
            range = static_cast<int>(lparam);
    }
    int count(int id) const
    {
        int n = 0;
        for (int i : ids)
            n += i == id;
        return n;
    }
    std::vector<int> ids;
    std::vector<std::string> texts;
    int range = 0;
};

// The state of the scripted instrument.
struct scripted_fra {
    std::map<int, int> params{{1, 1}, {6, 0}, {18, 5}, {58, 0}, {84, 0}};
    std::vector<std::string> dav{"4"}; // replies in turn; the last repeats
    std::vector<peer_reply> sweep_lines;
    size_t dav_index = 0;
    std::string silent_on; // a command the instrument never answers

    peer_reply answer(const std::string& c)
    {
        if (c == silent_on)
            return {};
        int id = 0, value = 0;
        char tail = 0;
        if (std::sscanf(c.c_str(), "config,%d%c", &id, &tail) == 2 && tail == '?')
            return {std::to_string(params[id]) + "\r\n"};
        if (std::sscanf(c.c_str(), "config,%d,%d", &id, &value) == 2) {
            params[id] = value;
            return {};
        }
        if (c == "*esr?")
            return {"0\r\n"};
        if (c == "DAV?") {
            const std::string r = dav[std::min(dav_index, dav.size() - 1)];
            ++dav_index;
            return {r + "\r\n"};
        }
        if (c == "gainph,sweep?") {
            peer_reply all;
            for (const peer_reply& l : sweep_lines) {
                all.text += l.text;
                if (l.hang_up) {
                    all.hang_up = true;
                    break;
                }
            }
            return all;
        }
        return {};
    }
};

// A point line of six (or ten) values; frequency 100 Hz per step.
inline std::string point_line(int i, int values = 6)
{
    std::string s = std::to_string(100 * (i + 1)) + ".5";
    for (int v = 1; v < values; ++v)
        s += "," + std::to_string(v) + "." + std::to_string(i % 10);
    return s + "\r\n";
}

inline std::vector<peer_reply> point_lines(int n, int values = 6)
{
    std::vector<peer_reply> out;
    for (int i = 0; i < n; ++i)
        out.push_back({point_line(i, values)});
    return out;
}

class sweep_fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_command_dispatcher(&dispatcher);
        ui_set_backend(&ui);
        peer = std::make_unique<sweep_peer>([this](const std::string& c) { return fra.answer(c); });
        link_set_tcp_port(peer->port());
        link.interface = LINK_LAN;
        link.ip_address = "127.0.0.1";
        link.identified = true;
        set_model(7);
        fra.sweep_lines = point_lines(5);
        ctx.link = &link;
        ctx.dialog = &dialog;
        ctx.notify = &window;
        ctx.owner = &window;
    }
    void TearDown() override
    {
        peer.reset();
        link_close(link);
        link_set_timeout(link, LINK_DEFAULT_TIMEOUT_MS);
        link_set_tcp_port(LINK_DEFAULT_TCP_PORT);
        ui_set_backend(nullptr);
        set_command_dispatcher(nullptr);
        config_select(instrument_caps_of(0));
    }
    void set_model(int type_code)
    {
        link_set_type(link, type_code);
        config_select(link.caps);
        ctx.config = &config_current();
    }
    void run()
    {
        ctx.cancel = 0;
        ctx.incomplete = 0;
        fra_sweep_worker(ctx);
        dispatcher.run_pending();
    }
    bool completed() const { return window.count(CMD_FRA_SWEEP_COMPLETE) == 1; }

    // Runs a realtime thread body (given its running flag) until it ends by
    // itself, taking each reading as the window does: after each ready_id
    // the request flag is set again.
    template <class Body, class Flag>
    void realtime_to_its_end(Body body, Flag& request, int ready_id)
    {
        window.ids.clear();
        request = 1;
        std::atomic<int> running{1};
        std::thread reader([&] {
            body(running);
            running = 0;
        });
        while (running.load())
            if (dispatcher.run_pending() == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            else if (window.ids.back() == ready_id)
                request = 1;
        reader.join();
        dispatcher.run_pending();
    }

    scripted_dispatcher dispatcher;
    scripted_ui ui;
    scripted_fra fra;
    std::unique_ptr<sweep_peer> peer;
    s_link link;
    command_recorder dialog;
    command_recorder window;
    FraSweepContext ctx;
};

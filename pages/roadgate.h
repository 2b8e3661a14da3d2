#pragma once

// One road of the window at a time. Each command the user can start (Receive, Send, Load, Save,
// Save As, connecting the port, a menu command, the window's close, the page-update question)
// takes a pass where it begins and holds it until it returns, through its dialogs, its transfer
// and its page build. A command that arrives while another one holds the gate (a key, a menu
// entry, an animated click still pending, a signal) does nothing at all: it is dropped, not
// queued. The steps of a road (the model choice's Ok, the page build, the rebuild after the update
// question's Ok) run under their road's pass and take none of their own.
//
//     const RoadGate::RoadPass road = roadGate.enterRoad();
//     if (!road)
//         return;
//
// The pass must be looked at: a road that got none must not go on. In the window's sources a pass
// dropped at once, or kept and never tested, is a compile error (TKV_ROAD_PASS_ERRORS in the top
// CMakeLists.txt).
//
// A page holds the gate while a box, dialog, menu or progress dialog of its own runs its event
// loop, so that no road deletes, rebuilds or replaces the pages under the page's code:
//
//     const RoadGate::PageHold hold(m_roadGate);
//
// The page goes on whether or not the gate was free: a road that holds it already is below the
// page on the stack and waits for it. A page hold has nothing to test. A page without a gate
// (built without a window) holds nothing.
class RoadGate
{
    // Takes the gate when it is free and gives it back at its end.
    class Holding
    {
    public:
        Holding(const Holding &) = delete;
        Holding &operator=(const Holding &) = delete;

    protected:
        explicit Holding(RoadGate *gate) : m_gate(gate && !gate->m_held ? gate : nullptr)
        {
            if (m_gate)
                m_gate->m_held = true;
        }
        ~Holding()
        {
            if (m_gate)
                m_gate->m_held = false;
        }

        RoadGate *m_gate;
    };

public:
    // A road's pass: true when the road may go (no other road or page held the gate).
    class [[nodiscard, gnu::warn_unused]] RoadPass : private Holding
    {
    public:
        explicit operator bool() const { return m_gate != nullptr; }

    private:
        friend class RoadGate;
        explicit RoadPass(RoadGate *gate) : Holding(gate) {}
    };

    // A page's hold of the gate while its own event loop runs.
    class PageHold : private Holding
    {
    public:
        explicit PageHold(RoadGate *gate) : Holding(gate) {}
    };

    [[nodiscard]] RoadPass enterRoad() { return RoadPass(this); }

private:
    bool m_held = false;
};

#pragma once

// One road of the window at a time. Each command the user can start (Receive, Send, Load, Save,
// Save As, connecting the port, a menu command, the window's close, the page-update question)
// takes a pass where it begins and holds it until it returns, through its dialogs, its transfer
// and its page build. A command that arrives while another one holds the pass (a key, a menu
// entry, an animated click still pending, a signal) does nothing at all: it is dropped, not
// queued. The steps of a road (the model choice's Ok, the page build, the rebuild after the update
// question's Ok) run under their road's pass and take none of their own.
//
//     const RoadGate::Pass road(roadGate);
//     if (!road)
//         return;
//
// A page holds the gate the same way while a box, dialog, menu or progress dialog of its own runs
// its event loop, so that no road deletes, rebuilds or replaces the pages under the page's code.
// The page goes on whether or not it got the pass: a road that holds it already is below the page
// on the stack and waits for it. A page without a gate (built without a window) holds nothing.
class RoadGate
{
public:
    class Pass
    {
    public:
        explicit Pass(RoadGate &gate) : Pass(&gate) {}
        explicit Pass(RoadGate *gate) : m_gate(gate && !gate->m_held ? gate : nullptr)
        {
            if (m_gate)
                m_gate->m_held = true;
        }
        ~Pass()
        {
            if (m_gate)
                m_gate->m_held = false;
        }
        Pass(const Pass &) = delete;
        Pass &operator=(const Pass &) = delete;

        // The road may go: no other road held the gate.
        explicit operator bool() const { return m_gate != nullptr; }

    private:
        RoadGate *m_gate;
    };

private:
    bool m_held = false;
};

#include "Manual.h"

#include "TableWriter.h"

#include <filesystem>

std::string ManualHomePage()
{
    return R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Quilwright Help</title>
<style>
body { font-family: sans-serif; max-width: 46em; margin: 2em auto; padding: 0 1em; color: #202020; }
h1, h2 { color: #0084ba; }
td, th { padding: 0.2em 1em 0.2em 0; text-align: left; vertical-align: top; }
code { background: #eeeeee; padding: 0 0.2em; }
</style>
</head>
<body>
<h1>Quilwright Help</h1>
<p>Quilwright is a studio for making songs: patterns placed as parts on the tracks of up to sixteen
instruments, played and recorded from the mouse, the computer keyboard or a MIDI keyboard, mixed on a
mixing desk and rendered to audio files.</p>

<h2>The main screens</h2>
<p>The bar across the top of the window is the status bar. Its page buttons, and the grid of instrument
slots in the main menu that drops from it, choose what the window shows:</p>
<table>
<tr><th>SONG</th><td>The song: tracks, their parts and the piano roll that edits the notes of a part.</td></tr>
<tr><th>MIXER</th><td>The mixing desk: levels, pans, insert effects and the two send effects of every instrument.</td></tr>
<tr><th>MANAGE</th><td>The setup screen, with the tabs <em>Project</em> (new, load, save and export projects),
<em>Settings</em> (key width, knob control, control sensitivity, buffer latency and two switches),
<em>Help</em> (this page) and <em>MIDI</em> (MIDI inputs and controller mappings).</td></tr>
<tr><th>An instrument slot</th><td>The editor of the instrument in that slot: the synthesizer, the pads or the desk.
Hold a slot to choose its instrument, name, MIDI input channel and transpose.</td></tr>
</table>
<p>BPM, LOOP, CLICK, QUANTIZE and UNDO sit beside the transport (stop, play, record). On the SONG page,
<em>Tools</em> holds the tempo, the MIDI file page (import and export), clearing the song and the
preferences.</p>

<h2>The mouse</h2>
<p>The mouse stands in for a touch screen: the left button is one finger. The right button is two
fingers mirrored about the point you press, so a right drag pinches to zoom in the song roll, the piano
roll and the sample editor.</p>
<p>On the <em>MIDI</em> tab, <em>Inputs</em> lists the MIDI ports: <em>ENABLE</em> opens a port,
<em>OMNI</em> sends everything it plays to the instrument selected in the main menu, and the sixteen
channel buttons choose the channels it listens to. <em>Mappings</em> assigns a MIDI controller to each
controllable parameter: choose the number, or press <em>Teach</em> and move the knob.
<em>PANIC</em> silences every instrument.</p>

<h2>Keys of the status bar</h2>
<table>
<tr><th>Space</th><td>Play from the song position, or stop.</td></tr>
<tr><th>Ctrl + Space</th><td>Record.</td></tr>
<tr><th>Home</th><td>Go to the start of the song.</td></tr>
<tr><th>End</th><td>Go to the end of the song.</td></tr>
<tr><th>Page Up</th><td>Go to the start of the loop.</td></tr>
<tr><th>Page Down</th><td>Go to the end of the loop.</td></tr>
<tr><th>Escape</th><td>Close the panel that is open (the back button).</td></tr>
</table>
<p>Holding the song-position screen in the status bar for a second opens this page.</p>

<h2>Keys of the instruments</h2>
<table>
<tr><th>1-4, Q-R, A-F, Z-V</th><td>Play the sixteen pads on the pads' page, Z-V the bottom row.</td></tr>
<tr><th>Z to / and Q to ]</th><td>Play two octaves of the synthesizer's keyboard on its pages; S to ' and
2 to = play the keys between.</td></tr>
<tr><th>Left, Right</th><td>Move the synthesizer's keyboard an octave down or up.</td></tr>
<tr><th>Up, Down</th><td>Move up or down through the synthesizer's pages.</td></tr>
</table>

<h2>Where your files live</h2>
<p>Everything you make is kept in <code>Quilwright/Documents</code> inside your data folder
(<code>$XDG_DATA_HOME</code>, usually <code>~/.local/share</code>):</p>
<table>
<tr><th>User/Projects</th><td>Projects, one folder ending in <code>.prj</code> each.</td></tr>
<tr><th>User/Samples</th><td>Samples you record, render or import.</td></tr>
<tr><th>User/Mixdowns</th><td>Songs rendered to WAV, Ogg Vorbis or zip files.</td></tr>
<tr><th>User/MIDI Files</th><td>MIDI files you export or import.</td></tr>
<tr><th>User/VRX Banks</th><td>Pad kits.</td></tr>
<tr><th>User/FX Favourites</th><td>Saved effect chains.</td></tr>
<tr><th>GlobalSettings.dat</th><td>The settings of the <em>Settings</em> tab and where you left off.</td></tr>
<tr><th>MIDISettings.dat</th><td>The MIDI inputs and the controller mappings.</td></tr>
</table>
<p>Settings are written when the program closes and when a project is saved or loaded. The file
dialogue's <em>Open Folder...</em> button shows the folder it is in.</p>
</body>
</html>
)";
}

bool WriteManual(const std::string& resources)
{
    const std::filesystem::path folder = std::filesystem::path(resources) / "Manual";
    std::filesystem::create_directories(folder);
    return WriteTextFileIfChanged((folder / "QuilWeb00-Home.html").string(), ManualHomePage());
}

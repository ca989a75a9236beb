-- Lanternix: the key binding that makes the walk. Copy this file into the
-- Macros\scripts folder of the file manager's user profile and start the
-- file manager again. Then, in the file panels, hold Ctrl, press Down or Up
-- to walk from item to item, and let go of Ctrl to open the item under the
-- cursor: a folder is entered, a program or archive run or opened, any
-- other file shown in the viewer.
--
-- The binding takes over Ctrl+Up and Ctrl+Down, the file manager's own keys
-- for the panels' height. To keep those, name other keys on the key line
-- instead, blank-separated, such as "CtrlJ CtrlK": with Ctrl held, Up walks
-- up and any other key walks down, and the walk goes on for as long as each
-- key pressed is one the line names.
Macro {
  description = "Lanternix: hold Ctrl, walk with Down/Up, let go to open";
  area = "Shell";
  key = "CtrlDown CtrlUp";
  action = function()
    Plugin.Menu("469D5FDF-4420-4778-BA05-8778AD34E5FD")
  end;
}

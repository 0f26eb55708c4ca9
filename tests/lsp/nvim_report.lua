-- Run by the headless Neovim test after the file is opened: waits until the server has
-- published the diagnostics the test expects (their number in ZUVA_EXPECT), writes every
-- diagnostic of every buffer to ZUVA_REPORT ("FILE:LINE:COLUMN: level: message", columns
-- in bytes from 1) and ends Neovim.
local want = tonumber(os.getenv('ZUVA_EXPECT'))
local report = os.getenv('ZUVA_REPORT')
local function all()
  return vim.diagnostic.get(nil)
end
vim.wait(20000, function()
  return #all() >= want
end, 50)
-- Nothing more arrives after a while: the list is whole.
vim.wait(500)
local lines = {}
for _, d in ipairs(all()) do
  local name = vim.api.nvim_buf_get_name(d.bufnr)
  local level = d.severity == vim.diagnostic.severity.ERROR and 'error' or 'warning'
  table.insert(lines, string.format('%s:%d:%d: %s: %s', name, d.lnum + 1, d.col + 1, level, d.message))
end
table.sort(lines)
local f = io.open(report, 'w')
f:write(table.concat(lines, '\n'), '\n')
f:close()
vim.cmd('qa!')

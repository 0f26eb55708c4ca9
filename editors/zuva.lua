-- Neovim: the language server of zuva for base files (RE*.BEN, MO*.BEN, OG*.BEN, ...).
-- Load it from init.lua with  dofile('/path/to/editors/zuva.lua')  or copy it to
-- ~/.config/nvim/plugin/zuva.lua. The command is `zuva lsp` from PATH unless
-- vim.g.zuva_lsp_cmd names another ({ '/path/to/zuva', 'lsp' }).
-- Works with Neovim 0.7 and later.

-- Base files are Windows-1250 when they are not UTF-8.
vim.opt.fileencodings = 'ucs-bom,utf-8,cp1250'

local group = vim.api.nvim_create_augroup('zuva_lsp', { clear = true })

vim.api.nvim_create_autocmd({ 'BufRead', 'BufNewFile' }, {
  group = group,
  pattern = { '*.BEN', '*.ben', '*.Ben' },
  callback = function(args)
    vim.bo[args.buf].filetype = 'zuvaben'
  end,
})

-- One server for every base file of the editor; it groups the files by distinguishing name.
local client_id = nil

local function attach(buf)
  local cmd = vim.g.zuva_lsp_cmd or { 'zuva', 'lsp' }
  local fname = vim.api.nvim_buf_get_name(buf)
  local root = vim.fn.fnamemodify(fname, ':p:h')
  if client_id == nil or vim.lsp.get_client_by_id(client_id) == nil then
    client_id = vim.lsp.start_client({
      name = 'zuva',
      cmd = cmd,
      root_dir = root,
      workspace_folders = nil,
    })
  end
  if client_id ~= nil then
    vim.lsp.buf_attach_client(buf, client_id)
  end
end

vim.api.nvim_create_autocmd('FileType', {
  group = group,
  pattern = 'zuvaben',
  callback = function(args)
    attach(args.buf)
    local opts = { buffer = args.buf }
    vim.keymap.set('n', 'K', vim.lsp.buf.hover, opts)
    vim.keymap.set('n', 'gd', vim.lsp.buf.definition, opts)
    vim.keymap.set('n', 'gr', vim.lsp.buf.references, opts)
    vim.keymap.set('n', '<leader>rn', vim.lsp.buf.rename, opts)
    vim.bo[args.buf].omnifunc = 'v:lua.vim.lsp.omnifunc'
  end,
})

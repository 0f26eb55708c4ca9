" Highlighting of zuva base files (RE*.BEN, MO*.BEN, ...): copy to ~/.vim/syntax/zuvaben.vim
" (Neovim: ~/.config/nvim/syntax/zuvaben.vim) and set the file type, for example
"   autocmd BufRead,BufNewFile *.BEN,*.ben setfiletype zuvaben
if exists("b:current_syntax")
  finish
endif

syn case match
syn match zuvabenComment "^\s*rem_.*$"
syn match zuvabenDisabled "^\s*_.*$"
syn match zuvabenTable "^\s*\(reguła_dysjunktywna\|reguła\|fakt\|model_wielomianowy\|model_liniowy\|model_r\|model\|m_fakt\|argument_znany\|arg_dopyt\|modele_ekskluzywne\|nazwa_pliku_war_arg\|ograniczenie_n\|ograniczenie\|rada\|ngrafika\|grafika\|ndźwięk\|dźwięk\)\ze("
syn region zuvabenName start=+"+ skip=+\\.+ end=+"+ oneline contains=zuvabenSpecial,zuvabenNumberText
syn match zuvabenSpecial +"\@<=\(bez_warunku\|koniec\)"\@=+ contained
syn match zuvabenNumberText +"\@<=-\?[0-9]\+\([.,][0-9]\+\)\?"\@=+ contained
syn match zuvabenNumber "\(^\|[(,\[]\)\@<=-\?[0-9]\+"
syn match zuvabenSymbol "[()\[\],]"

hi def link zuvabenComment Comment
hi def link zuvabenDisabled Comment
hi def link zuvabenTable Keyword
hi def link zuvabenName String
hi def link zuvabenSpecial Special
hi def link zuvabenNumberText Number
hi def link zuvabenNumber Number
hi def link zuvabenSymbol Delimiter

let b:current_syntax = "zuvaben"

-- A pandoc filter for the pages of the release zip (cmake/render-pages.cmake).
-- A guide keeps what a Windows user reads: its title, the language line under
-- it and its fact sections, each from `<!-- fact: NAME -->` to the next fact
-- comment or `<!-- /fact -->`; the developer's text between and around them
-- stays out. A document without fact sections (the change log) is kept whole.
-- No comment is kept, links to another document lead to its page, and the
-- first heading names the page.

local function marker(block)
  return block.t == "RawBlock" and block.text:match("^<!%-%-%s*(/?%a*)")
end

function Link(link)
  local path, rest = link.target:match("^([^:#]+)%.md(#?.*)$")
  if path then
    if pandoc.utils.stringify(link.content) == path .. ".md" then
      link.content = { pandoc.Str(path .. ".html") }
    end
    link.target = path .. ".html" .. rest
    return link
  end
end

function Pandoc(doc)
  local facts = false
  for _, block in ipairs(doc.blocks) do
    facts = facts or marker(block) == "fact"
    if block.t == "Header" and not doc.meta.pagetitle then
      doc.meta.pagetitle = pandoc.utils.stringify(block):gsub("^%s+", "")
    end
  end
  local kept, inside = {}, false
  for i, block in ipairs(doc.blocks) do
    local tag = marker(block)
    if tag == "fact" or tag == "/fact" then
      inside = tag == "fact"
    elseif not tag and (not facts or inside or i <= 2) then
      table.insert(kept, block)
    end
  end
  doc.blocks = kept
  return doc
end
